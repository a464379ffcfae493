// The translated message dialog: which caption, buttons and answers a
// message gets in the current language. The user interface shows it.
#include "settings/Unicodelanguage.h"

#include <algorithm>

namespace {

struct ButtonKind {
    uint16_t bit;
    int result;
    const wchar_t* name;
    const wchar_t* caption;  // used when the language has no "Dialog." text
};

constexpr ButtonKind kButtons[] = {
    {DialogButton::Yes, ModalResult::Yes, L"Yes", L"&Yes"},
    {DialogButton::No, ModalResult::No, L"No", L"&No"},
    {DialogButton::OK, ModalResult::OK, L"OK", L"OK"},
    {DialogButton::Cancel, ModalResult::Cancel, L"Cancel", L"Cancel"},
    {DialogButton::Abort, ModalResult::Abort, L"Abort", L"&Abort"},
    {DialogButton::Retry, ModalResult::Retry, L"Retry", L"&Retry"},
    {DialogButton::Ignore, ModalResult::Ignore, L"Ignore", L"&Ignore"},
    {DialogButton::All, ModalResult::All, L"All", L"&All"},
    {DialogButton::NoToAll, ModalResult::NoToAll, L"NoToAll", L"N&o to All"},
    {DialogButton::YesToAll, ModalResult::YesToAll, L"YesToAll", L"Yes to &All"},
    {DialogButton::Help, MessageDialogContent::kHelpResult, L"Help", L"&Help"},
};

UnicodeLanguage::MessageDialogPresenter& Presenter()
{
    static UnicodeLanguage::MessageDialogPresenter presenter;
    return presenter;
}

// Without a user interface (tools): the system's message box, with the
// closest set of its buttons.
int ShowSystemMessageBox(const MessageDialogContent& content)
{
    auto has = [&](int result) {
        return std::any_of(content.buttons.begin(), content.buttons.end(),
                           [result](const auto& button) { return button.first == result; });
    };
    UINT type = has(ModalResult::Yes) ? (has(ModalResult::Cancel) ? MB_YESNOCANCEL : MB_YESNO)
                : has(ModalResult::Cancel) ? MB_OKCANCEL
                                           : MB_OK;
    static const UINT icons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION};
    type |= icons[std::min<size_t>(static_cast<size_t>(content.type), 3)];
    switch (MessageBoxW(GetActiveWindow(), content.text.c_str(), content.caption.c_str(), type)) {
    case IDYES:
        return ModalResult::Yes;
    case IDNO:
        return ModalResult::No;
    case IDOK:
        return ModalResult::OK;
    case IDCANCEL:
        return ModalResult::Cancel;
    default:
        return ModalResult::None;
    }
}

}  // namespace

void UnicodeLanguage::SetMessageDialogPresenter(MessageDialogPresenter presenter)
{
    Presenter() = std::move(presenter);
}

MessageDialogContent UnicodeLanguage::MessageDialogContentFor(const std::wstring& text, MessageDialogType type,
                                                              uint16_t buttons, uint32_t color)
{
    static const wchar_t* const captionKeys[] = {L"Dialog.Warning", L"Dialog.Error", L"Dialog.Information",
                                                 L"Dialog.Confirmation"};
    static const wchar_t* const defaultCaptions[] = {L"Warning", L"Error", L"Information", L"Confirm"};
    size_t kind = std::min<size_t>(static_cast<size_t>(type), 3);

    MessageDialogContent content;
    content.caption = HasText(captionKeys[kind]) ? GetText(captionKeys[kind]) : defaultCaptions[kind];
    content.text = text;
    content.type = static_cast<MessageDialogType>(kind);
    content.font = &GetFont(L"Font");
    content.color = color;
    for (const ButtonKind& button : kButtons) {
        if (!(buttons & button.bit))
            continue;
        std::wstring key = std::wstring(L"Dialog.") + button.name;
        content.buttons.emplace_back(button.result, HasText(key) ? GetText(key) : button.caption);
    }
    if (content.buttons.empty())
        content.buttons.emplace_back(ModalResult::OK, HasText(L"Dialog.OK") ? GetText(L"Dialog.OK") : L"OK");
    auto has = [&](int result) {
        return std::any_of(content.buttons.begin(), content.buttons.end(),
                           [result](const auto& button) { return button.first == result; });
    };
    content.defaultResult = has(ModalResult::OK)    ? ModalResult::OK
                            : has(ModalResult::Yes) ? ModalResult::Yes
                                                    : content.buttons.front().first;
    content.escapeResult = has(ModalResult::Cancel) ? ModalResult::Cancel
                           : has(ModalResult::No)   ? ModalResult::No
                           : has(ModalResult::OK)   ? ModalResult::OK
                                                    : ModalResult::None;  // no button answers Escape
    return content;
}

int UnicodeLanguage::MessageDialog(const std::wstring& text, MessageDialogType type, uint16_t buttons,
                                   uint32_t color)
{
    MessageDialogContent content = MessageDialogContentFor(text, type, buttons, color);
    return Presenter() ? Presenter()(content) : ShowSystemMessageBox(content);
}
