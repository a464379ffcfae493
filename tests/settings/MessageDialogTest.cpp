// What a translated message dialog shows, and that it reaches the presenter
// the user interface installs.
#include <gtest/gtest.h>

#include "settings/LanguageFiles.h"
#include "settings/Unicodelanguage.h"
#include "support/TempDir.h"

namespace {

std::wstring CaptionOf(const MessageDialogContent& content, int result)
{
    for (const auto& [id, caption] : content.buttons)
        if (id == result)
            return caption;
    return L"<none>";
}

TEST(MessageDialog, CaptionButtonsAndColourComeFromTheLanguage)
{
    TempDir dir;
    WriteLanguageFile(dir, L"LNG\\0000.LNG",
                      L"[Dialog]\r\nConfirmation=Bitte best\x00E4tigen\r\nYes=&Ja\r\nNo=&Nein\r\n"
                      L"[Font]\r\nName=Tahoma\r\nSize=10\r\n");
    UnicodeLanguage language(dir.Path(), L"Varnox");
    language.SelectLanguage(0x0409);

    MessageDialogContent content = language.MessageDialogContentFor(
        L"Wipe now?", MessageDialogType::Confirmation, DialogButton::Yes | DialogButton::No, 0x00C0FFEE);
    EXPECT_EQ(content.caption, L"Bitte best\x00E4tigen");
    EXPECT_EQ(content.text, L"Wipe now?");
    ASSERT_EQ(content.buttons.size(), 2u);
    EXPECT_EQ(CaptionOf(content, ModalResult::Yes), L"&Ja");
    EXPECT_EQ(CaptionOf(content, ModalResult::No), L"&Nein");
    EXPECT_EQ(content.defaultResult, ModalResult::Yes);
    EXPECT_EQ(content.escapeResult, ModalResult::No) << "Escape answers No when there is no Cancel";
    EXPECT_EQ(content.color, 0x00C0FFEEu);
    ASSERT_NE(content.font, nullptr);
    EXPECT_EQ(content.font->Size, 10);

    content = language.MessageDialogContentFor(L"Sure?", MessageDialogType::Warning, DialogButton::Yes, 0);
    EXPECT_EQ(content.caption, L"Warning");  // no "Dialog.Warning": the built-in caption
    EXPECT_EQ(content.escapeResult, ModalResult::None) << "no button answers Escape";
}

TEST(MessageDialog, EveryButtonHasItsResultAndHelpClosesNothing)
{
    TempDir dir;
    UnicodeLanguage language(dir.Path(), L"Varnox");
    MessageDialogContent content =
        language.MessageDialogContentFor(L"Which?", MessageDialogType::Information, 0x7FF, 0);
    EXPECT_EQ(content.caption, L"Information");
    const std::pair<int, const wchar_t*> expected[] = {
        {ModalResult::Yes, L"&Yes"},         {ModalResult::No, L"&No"},
        {ModalResult::OK, L"OK"},            {ModalResult::Cancel, L"Cancel"},
        {ModalResult::Abort, L"&Abort"},     {ModalResult::Retry, L"&Retry"},
        {ModalResult::Ignore, L"&Ignore"},   {ModalResult::All, L"&All"},
        {ModalResult::NoToAll, L"N&o to All"}, {ModalResult::YesToAll, L"Yes to &All"},
        {MessageDialogContent::kHelpResult, L"&Help"},
    };
    ASSERT_EQ(content.buttons.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(content.buttons[i].first, expected[i].first);
        EXPECT_EQ(content.buttons[i].second, expected[i].second);
    }
    EXPECT_EQ(content.defaultResult, ModalResult::OK);
    EXPECT_EQ(content.escapeResult, ModalResult::Cancel);

    // No buttons asked for: one OK.
    content = language.MessageDialogContentFor(L"Oops", MessageDialogType::Error, 0, 0);
    ASSERT_EQ(content.buttons.size(), 1u);
    EXPECT_EQ(content.buttons[0].first, ModalResult::OK);
    EXPECT_EQ(content.escapeResult, ModalResult::OK);
}

TEST(MessageDialog, GoesToTheInstalledPresenter)
{
    TempDir dir;
    UnicodeLanguage language(dir.Path(), L"Varnox");
    MessageDialogContent shown;
    UnicodeLanguage::SetMessageDialogPresenter([&](const MessageDialogContent& content) {
        shown = content;
        return ModalResult::No;
    });
    EXPECT_EQ(language.MessageDialog(L"Delete 3 files?", MessageDialogType::Confirmation,
                                     DialogButton::Yes | DialogButton::No, 0),
              ModalResult::No);
    UnicodeLanguage::SetMessageDialogPresenter(nullptr);
    EXPECT_EQ(shown.text, L"Delete 3 files?");
    EXPECT_EQ(shown.type, MessageDialogType::Confirmation);
}

}  // namespace
