#pragma once

#include "ScriptedMessageBoxes.h"
#include "TestLedger.h"

#include <QString>
#include <memory>

class WindowSet;
class TMainFm;
class TDataModule1;

// The whole program on a real ledger file in the current directory, with its
// message boxes answered by the test.
class AppFixture
{
public:
    enum class Ledger { Empty, WithCategories, Missing };

    explicit AppFixture(Ledger ledger = Ledger::WithCategories);
    ~AppFixture();

    // Creates the nine objects; records may be added to the ledger before.
    void create();
    // Runs Qt's model tester over the model of every grid, creating the nine
    // objects first if need be: a breach of the model contract fails the test.
    void testGridModels();
    // Shows the main window, which runs its show sequence.
    void show();
    // Ends the program: the nine objects are freed as at its end.
    void quit();

    TMainFm *main() const;
    TDataModule1 *module() const;
    WindowSet &windows() const { return *m_windows; }
    TestLedger &ledger() { return *m_ledger; }
    QString dir() const;
    ScriptedMessageBoxes &boxes() const { return *m_boxes; }
    // From here on the toolkit shows the message boxes (still remembered in
    // boxes()); the test answers them in the window, as a user.
    void showToolkitBoxes() { m_boxes->toolkit = m_previousBoxes.get(); }

private:
    std::unique_ptr<TestLedger> m_ledger;
    std::unique_ptr<QTemporaryDir> m_emptyDir;
    QString m_previousDir;
    ScriptedMessageBoxes *m_boxes;
    std::unique_ptr<MessageBoxes> m_previousBoxes;
    std::unique_ptr<WindowSet> m_windows;
};
