#include "WipeTestSupport.h"

#include "settings/Oem.h"
#include "ui/SessionState.h"
#include "settings/Unicodelanguage.h"
#include "ui/Forms.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/MessageDialog.h"
#include "ui/toolkit/TestDriver.h"

using tk::Application;

void WipeWindowTest::SetUp()
{
    reports.documents = reportsHome.Path();
    noStore.AddGroup("Settings")->AddValue("ConfigStorageType")->SetInt(StoreNothing);
    owner.SetClientSize(640, 480);
    owner.SetCaption(L"Owner");
    Application::Instance().SetMainForm(&owner);
    owner.Show();
    Forms().WipeList = &wipeList;
    SetSecondConfirmation(false);
    AppLog().Clear();
}

void WipeWindowTest::TearDown()
{
    Application& application = Application::Instance();
    EXPECT_EQ(application.PendingModalActions(), 0u) << "a modal showing that was expected did not happen";
    application.ClearModalActions();
    application.SetMessageDialogHook(nullptr);
    application.SetMainForm(nullptr);
    Forms() = ApplicationForms();
    SetSecondConfirmationWanted(false);
    OEMConfig().Clear();
    AppLog().Clear();
}

void WipeWindowTest::AnswerReports(TFormWipe& window)
{
    window.UseReportSystem(reports);
    window.UseConfig(settings);
}

void WipeWindowTest::SetSecondConfirmation(bool ask)
{
    SetSecondConfirmationWanted(ask);
}

void WipeWindowTest::AnswerDialogs(int result)
{
    Application::Instance().SetMessageDialogHook([this, result](const tk::MessageDialogSetup& setup) {
        dialogTexts.push_back(setup.text);
        return result;
    });
}

void WipeWindowTest::AnswerWipeList(bool confirm)
{
    Application::Instance().QueueModalAction([this, confirm](tk::Form&) {
        ListShowing showing;
        showing.caption = wipeList.Caption();
        showing.header = wipeList.LabelHeader.Caption();
        for (int row = 0; row < wipeList.LV.Count(); ++row)
            showing.rows.push_back(wipeList.LV.ItemText(row, 0));
        listShowings.push_back(showing);
        // Done mode has only the Cancel button (captioned Close).
        EXPECT_TRUE(tk::Press(confirm ? wipeList.ButtonOK : wipeList.ButtonCancel));
    });
}

int CountLogRecords(const std::wstring& key, const TextVariables& variables, const std::wstring& target)
{
    const std::wstring text = Language().GetText(key, variables);
    int count = 0;
    for (size_t index = 0; index < AppLog().Count(); ++index) {
        const LogEntry& entry = AppLog().At(index);
        if (entry.text == text && (target.empty() || entry.target == target))
            ++count;
    }
    return count;
}

int CountLogRecords(LogCategory category, const std::wstring& target)
{
    int count = 0;
    for (size_t index = 0; index < AppLog().Count(); ++index) {
        const LogEntry& entry = AppLog().At(index);
        if (entry.category == category && (target.empty() || entry.target == target))
            ++count;
    }
    return count;
}

std::unique_ptr<FileList> TargetsOf(const std::vector<std::wstring>& paths)
{
    auto list = std::make_unique<FileList>();
    for (const std::wstring& path : paths)
        list->Add(new FileInfo(path));
    return list;
}

bool HeldIo::Write(HANDLE file, const void* buffer, DWORD bytes, DWORD& done)
{
    writesStarted.fetch_add(1);
    while (held.load())
        Sleep(2);
    return FaultInjectingIo::Write(file, buffer, bytes, done);
}

bool HeldIo::Delete(const std::wstring& path)
{
    if (beforeDelete)
        beforeDelete(path);
    return FaultInjectingIo::Delete(path);
}

void CloseWipeWindow(TFormWipe& window, HeldIo* io)
{
    if (io)
        io->held = false;
    if (window.State() == WipeWindowState::Running || window.State() == WipeWindowState::Suspended) {
        ADD_FAILURE() << "the job was still running";
        tk::Press(window.ButtonCancel);
        tk::PumpUntil([&] { return window.State() == WipeWindowState::Finished; }, 60000);
    }
    EXPECT_TRUE(tk::Press(window.ButtonClose));
}
