#pragma once
// The log window: the in-memory log as a four-column list, oldest record
// first and the newest selected, with clearing. Its size and the widths of
// the first three columns are remembered in pixels.
#include "ui/toolkit/Form.h"
#include "ui/toolkit/ListView.h"
#include "ui/toolkit/StdControls.h"
#include <string>

class Logger;
class UnicodeLanguage;
class VxUserConfig;

class TFormLog : public tk::Form {
public:
    // Shows the application's log, remembers its layout in the application's configuration.
    TFormLog();
    // Works on these instead (tests, benchmark); they must outlive the window.
    TFormLog(VxUserConfig& config, UnicodeLanguage& language, Logger& log);

    // Restores the layout, fills the list, shows the window and empties the
    // list again once it has closed.
    void Execute();

    // The list asks for the rows it shows (owner data): opening it costs the
    // same for a hundred records as for a hundred thousand.
    tk::ListView LV{this};
    tk::Panel PanelButtons{this};
    tk::Button ButtonOK{&PanelButtons};
    tk::Button ButtonLogClear{&PanelButtons};

protected:
    void DoResize() override;
    void DoClose() override;

private:
    void Translate();
    void FillList();
    void ListData(int row, int column, std::wstring& text);
    void ButtonLogClearClick();
    void FormResize();
    void FormClose();

    VxUserConfig& config;
    UnicodeLanguage& language;
    Logger& log;
    // The Category words, looked up once per filling.
    std::wstring categoryWords[3];
};

// A log record's time (an OLE Automation date) as the log window shows it:
// the user's short date, a space and the long time; the time is left out
// at exactly midnight.
std::wstring FormatLogTime(double time);
