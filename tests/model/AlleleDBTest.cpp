#include <gtest/gtest.h>

#include "model/AlleleDB.h"

namespace lociview {
namespace {

class RecordingLog : public LogSink {
public:
    void line(std::string_view text) override { lines.emplace_back(text); }
    std::vector<std::string> lines;
};

TEST(AlleleDBTest, KeysNeverReset) {
    RecordingLog log;
    AlleleDB db(log);
    for (int i = 0; i < 10; ++i) db.addAlleleWithSize(100 + i, 10, 10, 1);
    EXPECT_EQ(db.workingList().front()->getKey(), 0);
    EXPECT_EQ(db.workingList().back()->getKey(), 9);
    db.removeAllAlleles();
    db.purgeBackup();
    db.addAlleleWithSize(150, 10, 10, 1);
    EXPECT_EQ(db.workingList().front()->getKey(), 10);
}
}  // namespace
}  // namespace lociview
