// The options dialog driven through its controls: what OK stores and in
// which order, what Cancel leaves alone, the log saved to the file in force
// before the dialog, and the faults a literal reading would build: a stored
// "<Default>" language replaced, a rounds label out of step, a log file that
// cannot be written locking the user in, an existing file replaced without
// asking, a default log path of its own.
#include "AuxWindowTest.h"

#include "report/ReportFiles.h"
#include "ui/OptionsWindow.h"
#include "ui/Utils.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Components.h"
#include "ui/toolkit/MessageDialog.h"
#include "ui/toolkit/TestDriver.h"

#include <algorithm>
#include <functional>
#include <iterator>

using tk::Application;
using tk::Press;

namespace {

class OptionsWindowTest : public AuxWindowTest {
protected:
    // Runs Execute with `act` inside the showing; returns Execute's result.
    bool RunDialog(const std::function<void(TFormOptions&)>& act)
    {
        Application::Instance().QueueModalAction([&](tk::Form&) { act(options); });
        bool result = options.Execute();
        EXPECT_EQ(Application::Instance().PendingModalActions(), 0u) << "the dialog was not shown";
        return result;
    }

    int Stored(const std::wstring& key, int absent = -99) { return config->ReadInt(L"Config", key, absent); }
    std::wstring StoredText(const std::wstring& key) { return config->ReadString(L"Config", key, L"<absent>"); }

    void AddRecords(int count)
    {
        for (int i = 0; i < count; ++i)
            log->Add(LogCategory::Info, L"C:\\t\\file" + std::to_wstring(i), L"Log.FileWiped");
    }

    TFormOptions options{*config, *language, *log};
};

}  // namespace

TEST_F(OptionsWindowTest, ShowsTheStoredSettingsInTranslatedControls)
{
    config->WriteInt(L"Config", L"WipeMethod", 9);
    config->WriteInt(L"Config", L"Method9Passes", 3);
    config->WriteInt(L"Config", L"Logging", 0);
    config->WriteString(L"Config", L"LogFile", dir / L"kept.log");
    RunDialog([&](TFormOptions& form) {
        EXPECT_EQ(form.Caption(), L"Options-T");
        EXPECT_EQ(form.LabelWipePasses.Caption(), L"Rounds-T");
        EXPECT_EQ(form.RBLogEnabled.Caption(), L"On-T");
        EXPECT_EQ(form.ButtonCancel.Caption(), L"Cancel-T");
        ASSERT_EQ(form.CBWipeMethod.Count(), 14);
        EXPECT_EQ(form.CBWipeMethod.Item(13), L"Method 13-T");
        EXPECT_EQ(form.CBWipeMethod.ItemIndex(), 9);
        EXPECT_EQ(form.LabelWipeMethodDescription.Caption(), L"What method 9 writes-T");
        EXPECT_EQ(form.TBWipePasses.Position(), 3);
        EXPECT_EQ(form.LabelWipePassesCount.Caption(), L"3");
        // The language list: "<Default>" first, then every translation, the base file not among them.
        ASSERT_EQ(form.CBLanguage.Count(), 2);
        EXPECT_EQ(form.CBLanguage.Item(0), L"<Default>");
        EXPECT_EQ(form.CBLanguage.ItemData(0), 0);
        EXPECT_EQ(form.CBLanguage.ItemData(1), 0x0007);
        // Logging off: the file controls are disabled but keep the stored path.
        EXPECT_TRUE(form.RBLogDisabled.Checked());
        EXPECT_FALSE(form.RBLogEnabled.Checked());
        EXPECT_FALSE(form.EditLog.Enabled());
        EXPECT_FALSE(form.ButtonLogBrowse.Enabled());
        EXPECT_EQ(form.EditLog.Text(), dir / L"kept.log");
        EXPECT_TRUE(Press(form.RBLogEnabled));
        EXPECT_TRUE(form.EditLog.Enabled());
        EXPECT_TRUE(form.ButtonLogBrowse.Enabled());
        EXPECT_TRUE(Press(form.RBLogDisabled));
        EXPECT_FALSE(form.ButtonLogBrowse.Enabled());
        EXPECT_TRUE(Press(form.ButtonCancel));
    });
}

TEST_F(OptionsWindowTest, OkStoresTheMethodAndOnlyTheRoundsShownForIt)
{
    config->WriteInt(L"Config", L"Method2Passes", 3);
    EXPECT_TRUE(RunDialog([&](TFormOptions& form) {
        EXPECT_EQ(form.CBWipeMethod.ItemIndex(), 2) << "the default method";
        EXPECT_TRUE(ChooseEntry(form.CBWipeMethod, 5));
        EXPECT_EQ(form.LabelWipeMethodDescription.Caption(), L"What method 5 writes-T");
        EXPECT_TRUE(Slide(form.TBWipePasses, 4));
        EXPECT_EQ(form.LabelWipePassesCount.Caption(), L"4");
        EXPECT_TRUE(ChooseEntry(form.CBWipeMethod, 2));
        EXPECT_EQ(form.TBWipePasses.Position(), 3);
        EXPECT_TRUE(Press(form.ButtonOK));
    }));
    EXPECT_EQ(Stored(L"WipeMethod"), 2);
    EXPECT_EQ(Stored(L"Method2Passes"), 3);
    EXPECT_EQ(Stored(L"Method5Passes"), -99) << "rounds of a method not selected at OK are not stored";
    EXPECT_EQ(Stored(L"Logging"), 0);
    EXPECT_EQ(StoredText(L"LogFile"), DefaultLogPath());

    // Enter presses OK too; the settings written in their order.
    EXPECT_TRUE(RunDialog([&](TFormOptions& form) {
        EXPECT_TRUE(Slide(form.TBWipePasses, 7));
        tk::PressKey(form.CBWipeMethod, VK_RETURN);
    }));
    EXPECT_EQ(Stored(L"Method2Passes"), 7);
}

TEST_F(OptionsWindowTest, TheRoundsLabelFollowsEveryChangeOfTheBarMadeFromCode)
{
    config->WriteInt(L"Config", L"Method5Passes", 4);
    config->WriteInt(L"Config", L"Method2Passes", 1);
    config->WriteInt(L"Config", L"WipeMethod", 5);
    RunDialog([&](TFormOptions& form) {
        EXPECT_EQ(form.LabelWipePassesCount.Caption(), L"4");
        EXPECT_TRUE(ChooseEntry(form.CBWipeMethod, 2));
        EXPECT_EQ(form.TBWipePasses.Position(), 1);
        EXPECT_EQ(form.LabelWipePassesCount.Caption(), L"1");
        EXPECT_TRUE(ChooseEntry(form.CBWipeMethod, 5));
        EXPECT_EQ(form.LabelWipePassesCount.Caption(), L"4");
        EXPECT_TRUE(Press(form.ButtonCancel));
    });
    // A showing after a Cancel starts from the configuration again.
    config->WriteInt(L"Config", L"WipeMethod", 2);
    RunDialog([&](TFormOptions& form) {
        EXPECT_EQ(form.TBWipePasses.Position(), 1);
        EXPECT_EQ(form.LabelWipePassesCount.Caption(), L"1");
        tk::PressKey(form.CBWipeMethod, VK_ESCAPE);
    });
}

TEST_F(OptionsWindowTest, CancelLeavesTheConfigurationAndTheLogFileUntouched)
{
    std::wstring logFile = dir / L"old.log";
    config->WriteInt(L"Config", L"Logging", 1);
    config->WriteString(L"Config", L"LogFile", logFile);
    config->WriteInt(L"Config", L"Language", 0x0007);
    AddRecords(3);
    std::string before = StoredSettings();
    Application::Instance().SetSaveDialogHook([&](tk::SaveDialog& dialog) {
        dialog.FileName = dir / L"other.log";
        return true;
    });
    EXPECT_FALSE(RunDialog([&](TFormOptions& form) {
        EXPECT_TRUE(ChooseEntry(form.CBLanguage, 0));
        EXPECT_TRUE(ChooseEntry(form.CBWipeMethod, 12));
        EXPECT_TRUE(Slide(form.TBWipePasses, 9));
        EXPECT_TRUE(Press(form.ButtonLogBrowse));
        EXPECT_EQ(form.EditLog.Text(), dir / L"other.log");
        EXPECT_TRUE(Press(form.RBLogDisabled));
        EXPECT_TRUE(Press(form.ButtonCancel));
    }));
    EXPECT_EQ(StoredSettings(), before);
    EXPECT_FALSE(FileExists(logFile));
    EXPECT_FALSE(FileExists(dir / L"other.log"));
}

TEST_F(OptionsWindowTest, DefaultIsStoredAsZeroAndKeptByTheNextOk)
{
    EXPECT_TRUE(RunDialog([&](TFormOptions& form) {
        // Nothing stored, and the language in use (English) has no file here: the first entry.
        EXPECT_EQ(form.CBLanguage.ItemIndex(), 0);
        EXPECT_TRUE(ChooseEntry(form.CBLanguage, 1));
        EXPECT_TRUE(Press(form.ButtonOK));
    }));
    EXPECT_EQ(Stored(L"Language"), 0x0007);
    // Written in this order (into a store that held nothing before).
    std::string ini = StoredSettings();
    size_t order[] = {ini.find("Language="), ini.find("WipeMethod="), ini.find("Method2Passes="),
                      ini.find("Logging="), ini.find("LogFile=")};
    ASSERT_NE(order[4], std::string::npos) << ini;
    EXPECT_TRUE(std::is_sorted(std::begin(order), std::end(order))) << ini;

    EXPECT_TRUE(RunDialog([&](TFormOptions& form) {
        EXPECT_EQ(form.CBLanguage.ItemData(form.CBLanguage.ItemIndex()), 0x0007);
        EXPECT_TRUE(ChooseEntry(form.CBLanguage, 0));
        EXPECT_TRUE(Press(form.ButtonOK));
    }));
    EXPECT_EQ(Stored(L"Language"), 0);

    // The language in use now is German (what "<Default>" gave, say): OK
    // without touching the list keeps "<Default>", not the language in use.
    language->SelectLanguage(0x0007);
    ASSERT_EQ(language->GetLanguageId(), 0x0007);
    EXPECT_TRUE(RunDialog([&](TFormOptions& form) {
        EXPECT_EQ(form.Caption(), L"Optionen-T");
        EXPECT_EQ(form.CBLanguage.ItemIndex(), 0);
        EXPECT_TRUE(Press(form.ButtonOK));
    }));
    EXPECT_EQ(Stored(L"Language"), 0);

    // A stored language whose file is gone: the language in use.
    config->WriteInt(L"Config", L"Language", 0x040B);
    EXPECT_TRUE(RunDialog([&](TFormOptions& form) {
        EXPECT_EQ(form.CBLanguage.ItemData(form.CBLanguage.ItemIndex()), 0x0007);
        EXPECT_TRUE(Press(form.ButtonOK));
    }));
    EXPECT_EQ(Stored(L"Language"), 0x0007);
}

TEST_F(OptionsWindowTest, TheLogIsSavedToTheFileInForceBeforeTheDialogAndMovesToTheNewOne)
{
    std::wstring oldFile = dir / L"old.log", newFile = dir / L"new.log";
    config->WriteInt(L"Config", L"Logging", 1);
    config->WriteString(L"Config", L"LogFile", oldFile);
    AddRecords(2);
    Application::Instance().SetSaveDialogHook([&](tk::SaveDialog& dialog) {
        dialog.FileName = newFile;
        return true;
    });
    // A new file while logging stays on: the records go to the old file, and
    // the log moves to the new one at once.
    EXPECT_TRUE(RunDialog([&](TFormOptions& form) {
        EXPECT_TRUE(Press(form.ButtonLogBrowse));
        EXPECT_TRUE(Press(form.ButtonOK));
    }));
    std::deque<LogEntry> inOld, inNew;
    EXPECT_EQ(ReadLogFile(oldFile, inOld), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(inOld.size(), 2u);
    EXPECT_EQ(ReadLogFile(newFile, inNew), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(inNew.size(), 2u);
    EXPECT_EQ(StoredText(L"LogFile"), newFile);
    EXPECT_EQ(Stored(L"Logging"), 1);

    // Switching logging off writes the log once more, to the file then in force.
    log->Add(LogCategory::Info, L"", L"Log.DirDeleted");
    EXPECT_TRUE(RunDialog([&](TFormOptions& form) {
        EXPECT_TRUE(Press(form.RBLogDisabled));
        EXPECT_TRUE(Press(form.ButtonOK));
    }));
    inNew.clear();
    EXPECT_EQ(ReadLogFile(newFile, inNew), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(inNew.size(), 3u);
    EXPECT_EQ(Stored(L"Logging"), 0);

    // Switching it on again gives the file what it lacks: all, as it was deleted meanwhile.
    DeleteFileW(newFile.c_str());
    EXPECT_TRUE(RunDialog([&](TFormOptions& form) {
        EXPECT_TRUE(Press(form.RBLogEnabled));
        EXPECT_TRUE(Press(form.ButtonOK));
    }));
    inNew.clear();
    EXPECT_EQ(ReadLogFile(newFile, inNew), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(inNew.size(), 3u);
    EXPECT_EQ(Stored(L"Logging"), 1);
    EXPECT_EQ(log->Count(), 3u);
}

TEST_F(OptionsWindowTest, ALogFileThatCannotBeWrittenDoesNotLockTheUserIn)
{
    std::wstring unwritable = dir / L"no such folder\\Varnox.log";
    std::wstring elsewhere = dir / L"elsewhere.log";
    config->WriteInt(L"Config", L"Logging", 1);
    config->WriteString(L"Config", L"LogFile", unwritable);
    AddRecords(1);
    tk::MessageDialogSetup shown;
    int dialogs = 0;
    Application::Instance().SetMessageDialogHook([&](const tk::MessageDialogSetup& dialog) {
        shown = dialog;
        ++dialogs;
        return tk::mrOK;
    });
    Application::Instance().SetSaveDialogHook([&](tk::SaveDialog& dialog) {
        dialog.FileName = elsewhere;
        return true;
    });

    // Moving the log away from the broken file: it moves, and the user is told.
    EXPECT_TRUE(RunDialog([&](TFormOptions& form) {
        EXPECT_TRUE(Press(form.ButtonLogBrowse));
        EXPECT_TRUE(Press(form.ButtonOK));
    }));
    EXPECT_EQ(StoredText(L"LogFile"), elsewhere);
    EXPECT_EQ(Stored(L"Logging"), 1);
    ASSERT_EQ(dialogs, 1);
    EXPECT_EQ(shown.icon, tk::MessageDialogSetup::Icon::Error);
    std::wstring expected = L"kept in memory: " + unwritable + L" | " + std::to_wstring(ERROR_PATH_NOT_FOUND) + L" | ";
    EXPECT_EQ(shown.text.rfind(expected, 0), 0u) << shown.text;
    EXPECT_GT(shown.text.size(), expected.size()) << "the system's message";

    // Switching logging off while its file cannot be written: off it goes,
    // and the message says this run's records were not written.
    config->WriteString(L"Config", L"LogFile", unwritable);
    EXPECT_TRUE(RunDialog([&](TFormOptions& form) {
        EXPECT_TRUE(Press(form.RBLogDisabled));
        EXPECT_TRUE(Press(form.ButtonOK));
    }));
    EXPECT_EQ(Stored(L"Logging"), 0);
    ASSERT_EQ(dialogs, 2);
    EXPECT_EQ(shown.text.rfind(L"not written: " + unwritable, 0), 0u) << shown.text;
    EXPECT_EQ(log->Count(), 1u) << "the records stay in memory";
}

TEST_F(OptionsWindowTest, TheBrowseDialogProposesTheCurrentFileAndAsksBeforeReplacingOne)
{
    std::wstring current = dir / L"logs\\current.log";
    config->WriteInt(L"Config", L"Logging", 1);
    config->WriteString(L"Config", L"LogFile", current);
    std::wstring existing = dir.WriteFile(L"report.txt", "a report the user keeps");
    int asked = 0;
    Application::Instance().SetSaveDialogHook([&](tk::SaveDialog& dialog) {
        ++asked;
        EXPECT_TRUE(dialog.Options & OFN_OVERWRITEPROMPT) << "an existing file is replaced only when confirmed";
        EXPECT_TRUE(dialog.Options & OFN_PATHMUSTEXIST);
        EXPECT_TRUE(dialog.Options & OFN_HIDEREADONLY);
        EXPECT_EQ(dialog.Title, L"Pick a log-T");
        EXPECT_EQ(dialog.Filter, L"Logs-T|*.log");
        EXPECT_EQ(dialog.DefaultExt, L"LOG");
        EXPECT_EQ(dialog.InitialDir, dir / L"logs\\");
        EXPECT_EQ(dialog.FileName, L"current.log");
        if (asked == 1)
            return false;   // cancelled
        dialog.FileName = existing;
        return true;
    });
    EXPECT_FALSE(RunDialog([&](TFormOptions& form) {
        EXPECT_TRUE(Press(form.ButtonLogBrowse));
        EXPECT_EQ(form.EditLog.Text(), current) << "cancelling keeps the path";
        EXPECT_TRUE(Press(form.ButtonLogBrowse));
        EXPECT_EQ(form.EditLog.Text(), existing);
        EXPECT_TRUE(Press(form.ButtonCancel));
    }));
    EXPECT_EQ(asked, 2);
    std::string content;
    ASSERT_TRUE(ReadWholeFile(existing, content));
    EXPECT_EQ(content, "a report the user keeps") << "choosing a file neither creates nor touches it";
}

TEST_F(OptionsWindowTest, TheDefaultLogFileIsTheOneStartUpAndShutdownUse)
{
    RunDialog([&](TFormOptions& form) {
        EXPECT_EQ(form.EditLog.Text(), DefaultLogPath());
        EXPECT_TRUE(Press(form.ButtonCancel));
    });
    // A number that names no method shows the default method instead of nothing.
    config->WriteInt(L"Config", L"WipeMethod", 77);
    RunDialog([&](TFormOptions& form) {
        EXPECT_EQ(form.CBWipeMethod.ItemIndex(), 2);
        EXPECT_EQ(form.LabelWipeMethodDescription.Caption(), L"What method 2 writes-T");
        EXPECT_TRUE(Press(form.ButtonCancel));
    });
}

TEST_F(OptionsWindowTest, ReportsAreOnByDefaultAndTheirFolderIsChosenButNotMadeHere)
{
    const std::wstring chosen = dir / L"Proofs";
    RunDialog([&](TFormOptions& form) {
        EXPECT_TRUE(form.CBReports.Checked());
        EXPECT_EQ(form.EditReportFolder.Text(), DefaultReportFolder(SystemReportSystem()));
        EXPECT_NE(form.EditReportFolder.Text().find(L"\\Varnox reports"), std::wstring::npos);
        Application::Instance().SetFolderDialogHook([&](tk::FolderDialog& dialog) {
            EXPECT_EQ(dialog.Folder, form.EditReportFolder.Text());
            dialog.Folder = chosen;
            return true;
        });
        EXPECT_TRUE(Press(form.ButtonReportBrowse));
        Application::Instance().SetFolderDialogHook(nullptr);
        EXPECT_EQ(form.EditReportFolder.Text(), chosen);
        EXPECT_TRUE(Press(form.CBReports));
        EXPECT_FALSE(form.ButtonReportBrowse.Enabled());
        EXPECT_TRUE(Press(form.ButtonOK));
    });
    EXPECT_EQ(Stored(L"Report"), 0);
    EXPECT_EQ(StoredText(L"ReportFolder"), chosen);
    EXPECT_FALSE(DirectoryExists(chosen));
    // Back to the default folder: stored as none, so that it follows Documents.
    RunDialog([&](TFormOptions& form) {
        EXPECT_FALSE(form.CBReports.Checked());
        EXPECT_EQ(form.EditReportFolder.Text(), chosen);
        EXPECT_TRUE(Press(form.CBReports));
        Application::Instance().SetFolderDialogHook([&](tk::FolderDialog& dialog) {
            dialog.Folder = DefaultReportFolder(SystemReportSystem());
            return true;
        });
        EXPECT_TRUE(Press(form.ButtonReportBrowse));
        Application::Instance().SetFolderDialogHook(nullptr);
        EXPECT_TRUE(Press(form.ButtonOK));
    });
    EXPECT_EQ(Stored(L"Report"), 1);
    EXPECT_EQ(StoredText(L"ReportFolder"), L"");
}
