#pragma once
// The report of a scoring as a document of sections, free of any toolkit:
// what the desktop lays out onto pages for a PDF file or a printer. Each
// section has a heading and, in this order, name: value facts, paragraphs,
// a picture the front end draws, tables (their title rows repeat on every
// page) and fixed-width text.
#include <string>
#include <utility>
#include <vector>

#include "export/TableText.h"

namespace lociview {

// The pictures a front end draws into a report.
enum class ReportPicture { None, Chart, RunSpectrum, AccumulatedSpectrum, FlaggedLanes };

struct ReportSection {
    std::string heading;
    std::vector<std::pair<std::string, std::string>> facts;
    std::vector<std::string> paragraphs;
    ReportPicture picture = ReportPicture::None;
    std::vector<TextTable> tables;
    std::string preformatted;
};

struct Report {
    std::string title;     // "Lociview report: peaks.txt"
    std::string subtitle;  // the program, version and date
    std::vector<ReportSection> sections;
};

// A table's widest part on a page: the rest is split off (splitColumns).
inline constexpr size_t kReportColumns = 12;

}  // namespace lociview
