#pragma once
// Undo and redo of the clean-up actions: each clean-up that changed
// something is one step of a QUndoStack, holding the controller's state
// before and after it. Scoring or opening a file makes the steps stale, and
// they are forgotten.
#include <QObject>
#include <QString>
#include <QUndoStack>

#include "app/GeneController.h"

class QAction;

namespace lociview::qt {

class CleanUpHistory final : public QObject {
    Q_OBJECT

public:
    explicit CleanUpHistory(QObject* parent = nullptr);

    // The controller the steps restore; changing it forgets them.
    void setController(GeneController* controller);
    // A clean-up has run: the state before it and the controller's now make
    // one step (when they differ), named by the controller's summary.
    void recordStep(CleanUpSnapshot before);
    // Forgets the steps once the controller has scored or opened a file.
    void follow();

    // Edit › Undo and Edit › Redo wired to the stack: enabled when there is
    // a step, named after it.
    void connectActions(QAction* undo, QAction* redo);
    QUndoStack& stack() { return steps; }

Q_SIGNALS:
    // "Undone: Removed 3 peaks below height 1300", for the status bar.
    void stepShown(const QString& text);

private:
    friend class CleanUpStep;
    void show(const CleanUpSnapshot& state, const QString& text);

    QUndoStack steps;
    GeneController* controller = nullptr;
};

}  // namespace lociview::qt
