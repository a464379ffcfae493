#include "ui/WipeListWindow.h"
#include "settings/Unicodelanguage.h"
#include "ui/SessionState.h"
#include "ui/Utils.h"
#include "ui/toolkit/Scopes.h"

#include <algorithm>


namespace {

// The top panel and the picture area without a branding picture, in pixels.
constexpr int kNoPictureSize = 84;
// Space around the picture and the header, in pixels.
constexpr int kPictureMargin = 4;

}  // namespace

const wchar_t* SelectionWord(int64_t files, int64_t dirs)
{
    if (files == 0)
        return dirs == 0 ? L"NoTargetsSelected" : L"DirsSelected";
    return dirs == 0 ? L"FilesSelected" : L"DirsAndFilesSelected";
}

TFormWipeList::TFormWipeList()
{
    using namespace tk;
    SetBorderStyle(BorderStyle::Dialog);
    SetBorderIcons(0);
    SetPosition(Position::MainFormCenter);
    SetClientSize(602, 414);
    // Panels as wide as the window from the start: their children's anchors
    // keep the distances they have in this design.
    PanelTop.SetBounds(0, 0, 602, 41);
    PanelTop.SetAlign(Align::Top);
    Image.SetBounds(0, 0, 57, 41);
    Image.SetAlign(Align::Left);
    Image.SetCenter(true);
    Image.SetTransparent(true);
    LabelHeader.SetWordWrap(true);
    LabelHeader.SetAutoSize(false);
    LabelHeader.SetAnchors(akLeft | akTop | akRight);
    PanelBottom.SetBounds(0, 324, 602, 90);
    PanelBottom.SetAlign(Align::Bottom);
    LabelFooterPrefix.SetBounds(10, 6, 0, 13);
    // Above the buttons, not behind them: a label here is a window of its own.
    LabelFooter.SetBounds(168, 6, 427, 50);
    LabelFooter.SetAnchors(akAll);
    LabelFooter.SetAutoSize(false);
    LabelFooter.SetWordWrap(true);
    ButtonOK.SetBounds(439, 59, 75, 25);
    ButtonOK.SetAnchors(akRight | akBottom);
    ButtonOK.OnClick = [this] { ButtonOKClick(); };
    ButtonCancel.SetBounds(520, 59, 75, 25);
    ButtonCancel.SetAnchors(akRight | akBottom);
    ButtonCancel.SetModalResult(mrCancel);
    ButtonCancel.SetCancel(true);
    LV.SetAlign(Align::Client);
    LV.SetReadOnly(true);
    LV.SetRowSelect(true);
    LV.SetOwnerData(true);
    // Program texts, not translated.
    LV.AddColumn(L"Name", 300);
    LV.AddColumn(L"Modified", 120);
    LV.AddColumn(L"Type", 80);
    LV.AddColumn(L"Size", 60);
    LV.OnData = [this](int row, int column, std::wstring& text, int& imageIndex) {
        LVGetData(row, column, text, imageIndex);
    };
}

bool TFormWipeList::Execute(FileList& list, int32_t method, bool confirmation)
{
    UnicodeLanguage& language = Language();
    // The layout below is in pixels of the window as it exists.
    CreateHandle();
    SetFont(ToFontSpec(language.GetFont(L"Font")));
    LayOutHeader();

    // What is listed: everything in confirmation mode, what was destroyed when done.
    rows.clear();
    int64_t files = 0, dirs = 0;
    uint64_t size = 0;
    for (int32_t index = 0; index < list.Count(); ++index) {
        const FileInfo* target = list.At(index);
        if (!confirmation && !target->Success)
            continue;
        rows.push_back(target);
        if (target->IsFile) {
            ++files;
            size += target->Size;
        } else {
            ++dirs;
        }
    }
    TextVariables variables;
    variables[L"WipeMethod"] = std::to_wstring(method);
    variables[L"FileSizeK"] = FormatSizeKB(static_cast<int64_t>(size));
    variables[L"FileSize"] = std::to_wstring(size);
    variables[L"FileCount"] = std::to_wstring(files);
    variables[L"DirCount"] = std::to_wstring(dirs);
    const std::wstring word = SelectionWord(files, dirs);
    const std::wstring mode = confirmation ? L"Confirm" : L"Done";
    LabelHeader.SetCaption(language.GetText(L"WipeListWindow." + mode + L"Header" + word, variables));
    LabelFooterPrefix.SetCaption(language.GetText(L"WipeListWindow." + mode + L"FooterPrefix"));
    LabelFooter.SetCaption(language.GetText(L"WipeListWindow." + mode + L"Footer" + word, variables));
    SetCaption(language.GetText(L"WipeListWindow." + mode + L"Title"));
    ButtonOK.SetCaption(language.GetText(L"WipeListWindow.ConfirmOK"));
    ButtonOK.SetVisible(confirmation);
    ButtonCancel.SetCaption(language.GetText(confirmation ? L"WipeListWindow.ConfirmCancel" : L"WipeListWindow.DoneOK"));

    {
        tk::UpdateScope<tk::ListView> drawing(LV);
        LV.SetSmallImages(IconCache().ImageList());
        LV.SetItemCount(0);
        LV.SetItemCount(static_cast<int>(rows.size()));
        if (!rows.empty())
            LV.MakeVisible(0);
    }

    bool confirmed = ShowModal() == tk::mrOK;
    // The caller's list may go once this returns.
    LV.SetItemCount(0);
    rows.clear();
    return confirmation && confirmed;
}

void TFormWipeList::LayOutHeader()
{
    OwnedBitmap picture = LoadBrandingGraphic("Graphics/Exclamation");
    if (picture) {
        BITMAP info{};
        GetObjectW(picture.get(), sizeof(info), &info);
        PanelTop.SetDockedSizePx(info.bmHeight + kPictureMargin);
        Image.SetDockedSizePx(info.bmWidth + kPictureMargin);
        Image.SetBitmap(picture.release());
    } else {
        PanelTop.SetDockedSizePx(kNoPictureSize);
        Image.SetDockedSizePx(kNoPictureSize);
        Image.SetBitmap(nullptr);
    }
    Realign();
    RECT image{Image.BoundsPx()};
    RECT panel{};
    GetClientRect(PanelTop.Handle(), &panel);
    RECT header;
    header.left = image.right + kPictureMargin;
    header.top = kPictureMargin;
    header.right = std::max<LONG>(header.left, panel.right - kPictureMargin);
    header.bottom = std::max<LONG>(header.top, panel.bottom - kPictureMargin);
    LabelHeader.SetBoundsPx(header);
}

void TFormWipeList::ButtonOKClick()
{
    if (!SecondConfirmationWanted()) {
        SetModalResult(tk::mrOK);
        return;
    }
    int answer = Language().MessageDialog(Language().GetText(L"WipeListWindow.SecondConfirmation"),
                                          MessageDialogType::Warning, DialogButton::Yes | DialogButton::No, Color());
    SetModalResult(answer == ModalResult::Yes ? tk::mrOK : tk::mrCancel);
}

void TFormWipeList::DoShow()
{
    tk::Form::DoShow();
    // Enter and a stray click on the default control must not start a wipe.
    ButtonCancel.SetFocus();
}

const FileInfo* TFormWipeList::RowTarget(int row) const
{
    return row >= 0 && static_cast<size_t>(row) < rows.size() ? rows[static_cast<size_t>(row)] : nullptr;
}

void TFormWipeList::LVGetData(int row, int column, std::wstring& text, int& imageIndex) const
{
    const FileInfo* target = RowTarget(row);
    if (!target)
        return;
    switch (column) {
    case 0:
        text = target->Path;
        imageIndex = target->IconIndex;
        break;
    case 1: {
        const FILETIME& time = target->LastWriteTime;
        if (time.dwLowDateTime != 0 || time.dwHighDateTime != 0)
            text = FormatFileTime(time);
        break;
    }
    case 2:
        text = target->TypeName;
        break;
    case 3:
        if (target->Size != 0)
            text = FormatSizeKB(static_cast<int64_t>(target->Size));
        break;
    }
}
