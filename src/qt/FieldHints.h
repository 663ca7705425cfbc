#pragma once
// A hint on a field whose text does not read as the number it shows: a red
// frame, "read as 12" beside it (for "12abc") and a tooltip saying what the
// program will read. Nothing about the reading changes; the hint only tells.

class QWidget;

namespace lociview::qt {

// Puts the hint on every number field of the main window and its tool
// windows (found by name under root), kept up to date as the text changes.
void installFieldHints(QWidget* root);

}  // namespace lociview::qt
