#include "qt/CleanUpHistory.h"

#include <QAction>
#include <QUndoCommand>

namespace lociview::qt {

namespace {

// Whether a clean-up changed anything: a score or a count.
bool sameState(const CleanUpSnapshot& a, const CleanUpSnapshot& b) {
    if (a.scores != b.scores || a.result.alleles.size() != b.result.alleles.size()) return false;
    for (size_t i = 0; i < a.result.alleles.size(); ++i)
        if (a.result.alleles[i].count != b.result.alleles[i].count) return false;
    return true;
}

}  // namespace

// One clean-up: undo puts the state before it back, redo the state after.
// The clean-up itself has run when the step is pushed, so the first redo
// does nothing.
class CleanUpStep final : public QUndoCommand {
public:
    CleanUpStep(CleanUpHistory& history, CleanUpSnapshot before, CleanUpSnapshot after)
        : QUndoCommand(QString::fromStdString(after.summary)), history(history), before(std::move(before)),
          after(std::move(after)) {}

    void undo() override { history.show(before, QStringLiteral("Undone: ") + text()); }
    void redo() override {
        if (std::exchange(first, false)) return;
        history.show(after, QStringLiteral("Redone: ") + text());
    }

    const CleanUpSnapshot& stateBefore() const { return before; }

private:
    CleanUpHistory& history;
    CleanUpSnapshot before, after;
    bool first = true;
};

CleanUpHistory::CleanUpHistory(QObject* parent) : QObject(parent) {}

void CleanUpHistory::setController(GeneController* c) {
    controller = c;
    steps.clear();
}

void CleanUpHistory::recordStep(CleanUpSnapshot before) {
    if (!controller) return;
    CleanUpSnapshot after = controller->cleanUpSnapshot();
    if (sameState(before, after)) return;
    steps.push(new CleanUpStep(*this, std::move(before), std::move(after)));
}

void CleanUpHistory::follow() {
    if (steps.count() == 0) return;
    const auto* oldest = static_cast<const CleanUpStep*>(steps.command(0));
    if (!controller || !controller->canRestore(oldest->stateBefore())) steps.clear();
}

void CleanUpHistory::connectActions(QAction* undo, QAction* redo) {
    undo->setEnabled(steps.canUndo());
    redo->setEnabled(steps.canRedo());
    connect(undo, &QAction::triggered, &steps, &QUndoStack::undo);
    connect(redo, &QAction::triggered, &steps, &QUndoStack::redo);
    connect(&steps, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(&steps, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    const QString undoTitle = undo->text(), redoTitle = redo->text();
    connect(&steps, &QUndoStack::undoTextChanged, undo, [undo, undoTitle](const QString& step) {
        undo->setText(step.isEmpty() ? undoTitle : undoTitle + QStringLiteral(" ") + step);
    });
    connect(&steps, &QUndoStack::redoTextChanged, redo, [redo, redoTitle](const QString& step) {
        redo->setText(step.isEmpty() ? redoTitle : redoTitle + QStringLiteral(" ") + step);
    });
}

void CleanUpHistory::show(const CleanUpSnapshot& state, const QString& text) {
    if (!controller || controller->restoreCleanUp(state) != Outcome::Done) return;
    Q_EMIT stepShown(text);
}

}  // namespace lociview::qt
