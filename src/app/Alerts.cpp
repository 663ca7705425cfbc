#include "app/Alerts.h"

namespace lociview {

AlertRequest alertRequest(AlertId id) {
    const auto one = [id](const char* message, const char* button) {
        return AlertRequest{id, message, button, std::nullopt, ""};
    };
    // Unless said otherwise, the alternate button is the one that changes nothing.
    const auto two = [id](const char* message, const char* button, const char* alternate, int escapeAnswer = 0) {
        return AlertRequest{id, message, button, std::string(alternate), "", escapeAnswer};
    };
    switch (id) {
        case AlertId::ConfirmOpenAnother:
            return two("Are you sure you wish to stop scoring this data?", "Open Another", "Keep Scoring");
        case AlertId::NoDataInFile:
            return one("Your file has no data in it. Try to select a file with data in it next time.", "Okie Dokie");
        case AlertId::NotWorkingOnFile: return one("You are not currently working on a file.", "Okie Dokie");
        case AlertId::Progenitor1BelowLow:
            return one("Progenitor 1 is smaller than your Low Range value.", "Try Again");
        case AlertId::Progenitor2BelowLow:
            return one("Progenitor 2 is smaller than your Low Range value.", "Try Again");
        case AlertId::Progenitor1AboveHigh:
            return one("Progenitor 1 is larger than your High Range value.", "Try Again");
        case AlertId::Progenitor2AboveHigh:
            return one("Progenitor 2 is larger than your High Range value.", "Try Again");
        case AlertId::RangeOfZero: return one("You have a range of 0", "Abort Scoring");
        case AlertId::StutterTooLow: return one("Your stutter tolerance is too low.", "Abort Scoring");
        case AlertId::ShiftTooLarge: return one("Your shift is too large.", "Abort Scoring");
        case AlertId::SwapProgenitors:
            return two("By convenience, Progenitor 2 needs to be equal to or larger than progenitor 1",
                       "Swap Progenitors", "Abort Scoring");
        case AlertId::RangeTooLargeToCount:
            return one("Your range is too large to count the alleles in it.", "Abort Scoring");
        case AlertId::NoAllelesInRange:
            return one("Your range is too small, and the number of alleles between them is 0", "Abort Scoring");
        case AlertId::NotScoredExport: return one("You have not scored this data set yet.", "Abort Export");
        case AlertId::NotScoredCleaning: return one("You have not scored this data set yet.", "Abort Cleaning");
        case AlertId::NothingDeleted: return one("Nothing was deleted", "Okie Dokie");
        case AlertId::DoubleProgenitorLoss:
            return two("You have double Progenitor loss and SPPCR cannot handle that.", "Abort Exporting",
                       "Export Anyway", 1);
        case AlertId::ProgenitorsDiffer:
            return one("Your progenitors are different from the ones you have been accumulating.", "Sorry");
        case AlertId::ImportRefused: return one("The peak tables cannot be opened.", "Okie Dokie");
        case AlertId::AddRunAgain:
            return two("This run is in the accumulator already. Add it again?", "Don't Add", "Add Again", 1);
        case AlertId::ConfirmResetAccumulator:
            return two("Reset the accumulator?", "Reset", "Keep Runs");
        case AlertId::RunLogNotWritten:
            return one("The run log could not be written, so nothing was changed.", "OK");
        case AlertId::RunLogSetAside:
            return one("The run log could not be read and was set aside.", "OK");
        case AlertId::RunLogUnavailable:
            return one("There is no run log: accumulated runs are kept only until you quit.", "OK");
        case AlertId::RunLogReadOnly:
            return one("The run log was written by a newer Lociview: its runs are read, but none can be added to it.",
                       "OK");
        case AlertId::RunLogRunsLeftOut:
            return one("Some runs of the run log could not be restored and are left out of the accumulator. The run "
                       "log keeps them as they are.",
                       "OK");
        case AlertId::ExportNotWritten: return one("The file could not be written.", "OK");
        case AlertId::SuggestProgenitors:
            return two("Fill Progenitor 1 and Progenitor 2 with the suggested sizes?", "Fill P1 and P2", "Cancel");
        case AlertId::NoProgenitorsToSuggest: return one("There are no two progenitor sizes to suggest.", "OK");
    }
    return one("", "OK");
}

}  // namespace lociview
