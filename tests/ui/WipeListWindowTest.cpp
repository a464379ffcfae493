// The wipe list window shown as the file wipe window shows it: both modes,
// the words of the selection, the picture's layout, the second question.
#include <sstream>

#include "WipeTestSupport.h"
#include "settings/Oem.h"
#include "settings/Unicodelanguage.h"
#include "support/TempDir.h"
#include "ui/Utils.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/TestDriver.h"

using tk::Application;

namespace {

class WipeListTest : public WipeWindowTest {
protected:
    TextVariables Counts(int method, int files, int dirs, const std::wstring& sizeK, uint64_t size)
    {
        return {{L"WipeMethod", std::to_wstring(method)}, {L"FileCount", std::to_wstring(files)},
                {L"DirCount", std::to_wstring(dirs)},     {L"FileSizeK", sizeK},
                {L"FileSize", std::to_wstring(size)}};
    }
    // Runs one showing; `look` runs inside it, then the window is answered.
    bool Show(FileList& list, int method, bool confirmation, std::function<void()> look, bool confirm = false)
    {
        Application::Instance().QueueModalAction([&, look, confirm](tk::Form&) {
            look();
            EXPECT_TRUE(tk::Press(confirm ? wipeList.ButtonOK : wipeList.ButtonCancel));
        });
        return wipeList.Execute(list, method, confirmation);
    }
    std::wstring Text(const std::wstring& key, const TextVariables& variables = {})
    {
        return Language().GetText(key, variables);
    }
    TempDir dir;
};

}  // namespace

TEST_F(WipeListTest, ConfirmationListsEveryTargetWithTheWordOfTheSelectionAndAsksToGoAhead)
{
    std::wstring file = dir.WriteFile(L"a.txt", std::string(1500, 'a'));
    std::wstring empty = dir.WriteFile(L"empty.txt", "");
    std::wstring folder = dir.MakeDir(L"sub");
    auto list = TargetsOf({file, empty, folder});
    bool looked = false;
    bool confirmed = Show(
        *list, 3, true,
        [&] {
            looked = true;
            EXPECT_EQ(wipeList.Caption(), Text(L"WipeListWindow.ConfirmTitle"));
            TextVariables counts = Counts(3, 2, 1, L"1 kB", 1500);
            EXPECT_EQ(wipeList.LabelHeader.Caption(), Text(L"WipeListWindow.ConfirmHeaderDirsAndFilesSelected", counts));
            EXPECT_EQ(wipeList.LabelFooter.Caption(), Text(L"WipeListWindow.ConfirmFooterDirsAndFilesSelected", counts));
            EXPECT_NE(wipeList.LabelFooter.Caption().find(Text(L"WipeMethod.Method3Name")), std::wstring::npos)
                << std::string(wipeList.LabelFooter.Caption().begin(), wipeList.LabelFooter.Caption().end());
            EXPECT_EQ(wipeList.LabelFooterPrefix.Caption(), Text(L"WipeListWindow.ConfirmFooterPrefix"));
            EXPECT_EQ(wipeList.ButtonOK.Caption(), Text(L"WipeListWindow.ConfirmOK"));
            EXPECT_EQ(wipeList.ButtonCancel.Caption(), Text(L"WipeListWindow.ConfirmCancel"));
            EXPECT_TRUE(tk::Showing(wipeList.ButtonOK));
            // Both buttons lie wholly inside the bottom panel, at its right
            // edge, and no label covers them.
            RECT panel{};
            GetClientRect(wipeList.PanelBottom.Handle(), &panel);
            for (tk::Button* button : {&wipeList.ButtonOK, &wipeList.ButtonCancel}) {
                RECT bounds = button->BoundsPx();
                EXPECT_GE(bounds.left, panel.left);
                EXPECT_LE(bounds.right, panel.right);
                EXPECT_LE(bounds.bottom, panel.bottom);
                for (tk::Label* label : {&wipeList.LabelFooter, &wipeList.LabelFooterPrefix}) {
                    RECT labelBounds = label->BoundsPx(), overlap{};
                    EXPECT_FALSE(IntersectRect(&overlap, &bounds, &labelBounds));
                }
            }
            EXPECT_GT(wipeList.ButtonCancel.BoundsPx().right, panel.right - wipeList.ScaleToPx(20));
            // Enter must not start a wipe: the Cancel button has the focus.
            EXPECT_EQ(GetFocus(), wipeList.ButtonCancel.Handle());
            ASSERT_EQ(wipeList.LV.Count(), 3);
            EXPECT_EQ(wipeList.LV.ItemText(0, 0), file);
            EXPECT_EQ(wipeList.LV.ItemText(1, 0), empty);
            EXPECT_EQ(wipeList.LV.ItemText(2, 0), folder);
            EXPECT_EQ(wipeList.LV.ItemText(0, 3), L"1 kB");
            EXPECT_FALSE(wipeList.LV.ItemText(0, 1).empty());
            // No size for an empty file or a folder.
            EXPECT_EQ(wipeList.LV.ItemText(1, 3), L"");
            EXPECT_EQ(wipeList.LV.ItemText(2, 3), L"");
        },
        true);
    EXPECT_TRUE(looked);
    EXPECT_TRUE(confirmed);
}

TEST_F(WipeListTest, FilesOnlyAndFoldersOnlyHaveTheirOwnWords)
{
    auto files = TargetsOf({dir.WriteFile(L"a", "x"), dir.WriteFile(L"b", "y")});
    Show(*files, 2, true, [&] {
        TextVariables counts = Counts(2, 2, 0, L"1 kB", 2);
        EXPECT_EQ(wipeList.LabelHeader.Caption(), Text(L"WipeListWindow.ConfirmHeaderFilesSelected", counts));
        EXPECT_EQ(wipeList.LabelFooter.Caption(), Text(L"WipeListWindow.ConfirmFooterFilesSelected", counts));
    });
    auto folders = TargetsOf({dir.MakeDir(L"one"), dir.MakeDir(L"two")});
    Show(*folders, 2, true, [&] {
        TextVariables counts = Counts(2, 0, 2, L"0 kB", 0);
        EXPECT_EQ(wipeList.LabelHeader.Caption(), Text(L"WipeListWindow.ConfirmHeaderDirsSelected", counts));
        EXPECT_EQ(wipeList.LabelFooter.Caption(), Text(L"WipeListWindow.ConfirmFooterDirsSelected", counts));
    });
    EXPECT_EQ(SelectionWord(0, 0), std::wstring(L"NoTargetsSelected"));
}

TEST_F(WipeListTest, DoneModeListsOnlyTheDestroyedTargetsAndOnlyCloses)
{
    std::wstring kept = dir.WriteFile(L"kept.txt", std::string(3000, 'k'));
    std::wstring gone = dir.WriteFile(L"gone.txt", std::string(100, 'g'));
    std::wstring folder = dir.MakeDir(L"folder");
    auto list = TargetsOf({kept, gone, folder});
    list->At(0)->Success = 0;
    bool result = Show(*list, 5, false, [&] {
        EXPECT_EQ(wipeList.Caption(), Text(L"WipeListWindow.DoneTitle"));
        TextVariables counts = Counts(5, 1, 1, L"1 kB", 100);
        EXPECT_EQ(wipeList.LabelHeader.Caption(), Text(L"WipeListWindow.DoneHeaderDirsAndFilesSelected", counts));
        EXPECT_EQ(wipeList.LabelFooter.Caption(), Text(L"WipeListWindow.DoneFooterDirsAndFilesSelected", counts));
        EXPECT_EQ(wipeList.LabelFooterPrefix.Caption(), Text(L"WipeListWindow.DoneFooterPrefix"));
        EXPECT_FALSE(tk::Showing(wipeList.ButtonOK));
        EXPECT_EQ(wipeList.ButtonCancel.Caption(), Text(L"WipeListWindow.DoneOK"));
        ASSERT_EQ(wipeList.LV.Count(), 2);
        EXPECT_EQ(wipeList.LV.ItemText(0, 0), gone);
        EXPECT_EQ(wipeList.LV.ItemText(1, 0), folder);
    });
    EXPECT_FALSE(result);

    // Every target failed: nothing is listed, and the texts say so.
    for (int32_t index = 0; index < list->Count(); ++index)
        list->At(index)->Success = 0;
    Show(*list, 5, false, [&] {
        TextVariables counts = Counts(5, 0, 0, L"0 kB", 0);
        EXPECT_EQ(wipeList.LabelHeader.Caption(), Text(L"WipeListWindow.DoneHeaderNoTargetsSelected", counts));
        EXPECT_EQ(wipeList.LabelFooter.Caption(), Text(L"WipeListWindow.DoneFooterNoTargetsSelected", counts));
        EXPECT_EQ(wipeList.LV.Count(), 0);
    });
}

TEST_F(WipeListTest, EscapeAndCancelDeclineAndAZeroTimeShowsNoDate)
{
    auto list = TargetsOf({dir.WriteFile(L"a", "x")});
    list->At(0)->LastWriteTime = FILETIME{};
    Application::Instance().QueueModalAction([&](tk::Form&) {
        EXPECT_EQ(wipeList.LV.ItemText(0, 1), L"");
        tk::PressKey(wipeList.LV, VK_ESCAPE);
    });
    EXPECT_FALSE(wipeList.Execute(*list, 2, true));
}

TEST_F(WipeListTest, TheSecondQuestionDecidesWhenTheBrandAsksIt)
{
    auto list = TargetsOf({dir.WriteFile(L"a", "x")});
    SetSecondConfirmation(true);
    AnswerDialogs(tk::mrNo);
    EXPECT_FALSE(Show(*list, 2, true, [] {}, true));
    ASSERT_EQ(dialogTexts.size(), 1u);
    EXPECT_EQ(dialogTexts[0], Text(L"WipeListWindow.SecondConfirmation"));

    AnswerDialogs(tk::mrYes);
    EXPECT_TRUE(Show(*list, 2, true, [] {}, true));

    // A brand that does not ask confirms with OK alone.
    SetSecondConfirmation(false);
    EXPECT_TRUE(Show(*list, 2, true, [] {}, true));
    EXPECT_EQ(dialogTexts.size(), 2u);
}

TEST_F(WipeListTest, TheTopPanelIsSizedToTheBrandsPictureInPixels)
{
    auto list = TargetsOf({dir.WriteFile(L"a", "x")});
    // Without a picture: an empty area of 84 pixels.
    Show(*list, 2, true, [&] {
        EXPECT_EQ(wipeList.PanelTop.DockedSizePx(), 84);
        EXPECT_EQ(wipeList.Image.DockedSizePx(), 84);
        EXPECT_EQ(wipeList.Image.Bitmap(), nullptr);
        EXPECT_EQ(wipeList.LabelHeader.BoundsPx().left, wipeList.Image.BoundsPx().right + 4);
        EXPECT_EQ(wipeList.LabelHeader.BoundsPx().top, 4);
    });

    // The default brand's picture.
    HRSRC resource = FindResourceW(nullptr, L"DEFAULTBRAND", MAKEINTRESOURCEW(10));
    ASSERT_NE(resource, nullptr);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, resource)));
    std::istringstream in(std::string(bytes, SizeofResource(nullptr, resource)));
    ASSERT_TRUE(OEMConfig().Load(in));
    OwnedBitmap picture = LoadBrandingGraphic("Graphics/Exclamation");
    ASSERT_TRUE(picture);
    BITMAP info{};
    GetObjectW(picture.get(), sizeof(info), &info);
    Show(*list, 2, true, [&] {
        EXPECT_EQ(wipeList.PanelTop.DockedSizePx(), info.bmHeight + 4);
        EXPECT_EQ(wipeList.Image.DockedSizePx(), info.bmWidth + 4);
        EXPECT_NE(wipeList.Image.Bitmap(), nullptr);
        RECT panel{};
        GetClientRect(wipeList.PanelTop.Handle(), &panel);
        RECT header = wipeList.LabelHeader.BoundsPx();
        EXPECT_EQ(header.left, wipeList.Image.BoundsPx().right + 4);
        EXPECT_EQ(header.right, panel.right - 4);
        EXPECT_EQ(header.bottom, panel.bottom - 4);
    });
}

TEST_F(WipeListTest, AHundredThousandTargetsAreAllListed)
{
    FileInfo model(dir.WriteFile(L"model.bin", std::string(2048, 'm')));
    FileList list;
    for (int index = 0; index < 100000; ++index) {
        model.Path = dir / (L"f" + std::to_wstring(index));
        list.AddCopy(model);
    }
    Show(list, 2, true, [&] {
        ASSERT_EQ(wipeList.LV.Count(), 100000);
        EXPECT_EQ(wipeList.LV.ItemText(99999, 0), dir / L"f99999");
        EXPECT_EQ(wipeList.LV.ItemText(99999, 3), L"2 kB");
        EXPECT_EQ(wipeList.LabelFooter.Caption(),
                  Text(L"WipeListWindow.ConfirmFooterFilesSelected", Counts(2, 100000, 0, L"200 000 kB", 204800000)));
    });
}
