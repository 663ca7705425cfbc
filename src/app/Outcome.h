#pragma once
// What a user action came to, for the front ends and tests to read instead
// of the alerts it showed.
namespace lociview {

enum class Outcome {
    Done,       // the action did what it is for
    Cancelled,  // the user said no: Keep Scoring, a cancelled dialog, Abort Exporting
    Refused,    // a check stopped it with its alert
};

}  // namespace lociview
