#pragma once
// The summary of a file wipe. Confirmation mode lists every target the job
// will destroy and asks to go ahead (a second question follows when the brand
// asks for it, as the main window found at start-up); done mode lists what was destroyed. Everything is set anew at
// each showing; the list shows its rows on demand, so a list of a hundred
// thousand targets opens at once.
#include <cstdint>
#include <string>
#include <vector>

#include "targets/Filelist.h"
#include "ui/toolkit/Form.h"
#include "ui/toolkit/ListView.h"
#include "ui/toolkit/StdControls.h"

class TFormWipeList : public tk::Form {
public:
    TFormWipeList();

    // True only when confirmed (confirmation mode); done mode always gives
    // false. `list` is only read, and only during the call.
    bool Execute(FileList& list, int32_t method, bool confirmation);

    tk::Panel PanelTop{this};
    tk::Image Image{&PanelTop};
    tk::Label LabelHeader{&PanelTop};
    tk::Panel PanelBottom{this};
    tk::Label LabelFooterPrefix{&PanelBottom};
    tk::Label LabelFooter{&PanelBottom};
    tk::Button ButtonOK{&PanelBottom};
    tk::Button ButtonCancel{&PanelBottom};
    tk::ListView LV{this};

    // The target a row of LV shows, null for none (while shown).
    const FileInfo* RowTarget(int row) const;

protected:
    void ButtonOKClick();
    void DoShow() override;

private:
    void LayOutHeader();
    void LVGetData(int row, int column, std::wstring& text, int& imageIndex) const;

    std::vector<const FileInfo*> rows;
};

// The word a selection of `files` files and `dirs` folders appends to the
// list's keys: NoTargetsSelected, FilesSelected, DirsSelected or DirsAndFilesSelected.
const wchar_t* SelectionWord(int64_t files, int64_t dirs);
