// Session-script commands for trace files: the size standard and least
// peak height the next opening sizes with, and each file as sized.
#include "headless/SessionScript.h"
#include "input/TraceImport.h"

namespace lociview::headless {

// "auto" for the file's own standard, else a standard's name or its sizes.
std::optional<std::string> Session::sizeStandard(std::string_view text) {
    TraceChoice choice = controller.traceSizing();
    choice.standard = text == "auto" ? std::string() : std::string(text);
    if (!choice.standard.empty())
        if (const StandardChoice chosen = chooseStandard(choice.standard, builtInStandards()); !chosen.standard)
            return "size-standard: " + chosen.problem;
    controller.setTraceSizing(std::move(choice));
    return std::nullopt;
}

std::optional<std::string> Session::minHeight(std::string_view text) {
    const std::optional<double> height = minHeightOption(std::string(text));
    if (!height) return "min-height must be a positive number of RFU, not '" + std::string(text) + "'";
    TraceChoice choice = controller.traceSizing();
    choice.minHeight = *height;
    controller.setTraceSizing(std::move(choice));
    return std::nullopt;
}

// "sizing: FILE<TAB>SAMPLE<TAB>WELL<TAB>STANDARD<TAB>MATCHED<TAB>EXPECTED<TAB>R2<TAB>MESSAGE", a line per file.
void Session::showSizing() {
    const std::string text = traceReviewText(controller.importedData().traces);
    emitLines("sizing", text.substr(text.find('\n') + 1));
}

}  // namespace lociview::headless
