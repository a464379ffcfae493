#pragma once
// What the wipe windows' tests share: a main window to centre on, the window
// table, the brand's second question, answered message dialogs, the log, and
// a file I/O whose writes a test can hold.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/FaultInjectingIo.h"
#include "log/Log.h"
#include "settings/Oem.h"
#include "settings/Vxuserconfig.h"
#include "support/ReportAnswers.h"
#include "support/TempDir.h"
#include "targets/Filelist.h"
#include "ui/WipeListWindow.h"
#include "ui/WipeWindow.h"
#include "ui/toolkit/Form.h"

class WipeWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Whether the brand asks the second question (as the main window found
    // at start-up); without a call it does not.
    void SetSecondConfirmation(bool ask);
    // Every message dialog from now on is answered with `result`; its text is kept.
    void AnswerDialogs(int result);
    // A queued action for the next modal showing of the wipe list window:
    // keeps what it lists, then presses OK (`confirm`) or Cancel.
    void AnswerWipeList(bool confirm);

    // The texts of the message dialogs shown, in order.
    std::vector<std::wstring> dialogTexts;
    // What the wipe list window showed, per showing: its header and rows.
    struct ListShowing {
        std::wstring caption;
        std::wstring header;
        std::vector<std::wstring> rows;
    };
    std::vector<ListShowing> listShowings;

    tk::Form owner;
    TFormWipeList wipeList;
    // Reports of `window` go to a Documents folder of the test's own, with
    // settings from a store that keeps nothing (reports on, the default folder).
    void AnswerReports(TFormWipe& window);
    TempDir reportsHome;
    AnsweredReportSystem reports;
    COEMConfig noStore;
    VxUserConfig settings{noStore};
};

class HeldIo;

// Ends a showing of a wipe window whatever happened in it: a job still
// running is released (`io`), cancelled and waited for; then Close.
void CloseWipeWindow(TFormWipe& window, HeldIo* io = nullptr);

// Records of the application log with the text of `key` and `variables`
// (texts are stored translated), about `target` unless that is empty.
int CountLogRecords(const std::wstring& key, const TextVariables& variables = {}, const std::wstring& target = {});
// Records of the application log in `category`, about `target` unless that is empty.
int CountLogRecords(LogCategory category, const std::wstring& target = {});

// A list of the targets at `paths`, in order (files before folders).
std::unique_ptr<FileList> TargetsOf(const std::vector<std::wstring>& paths);

// File I/O of the system whose writes wait while held: a job stops inside
// its first write until the test releases it.
class HeldIo : public FaultInjectingIo {
public:
    explicit HeldIo(WipeIo& inner = SystemWipeIo()) : FaultInjectingIo(inner) {}
    bool Write(HANDLE file, const void* buffer, DWORD bytes, DWORD& done) override;
    bool Delete(const std::wstring& path) override;
    std::atomic<bool> held{false};
    std::atomic<int> writesStarted{0};
    // Runs on the job's thread before each file is deleted.
    std::function<void(const std::wstring& path)> beforeDelete;
};
