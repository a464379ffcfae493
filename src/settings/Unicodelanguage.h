#pragma once
// The language manager: every text the user sees is looked up by a dotted key
// ("MainWindow.Title") in the language files of the LNG folder beside the
// executable, layered base file -> primary language -> sublanguage. It also
// builds fonts from font descriptions in those files, lists the installed
// languages and shows message boxes in the selected language.
#include <windows.h>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>
#include "platform/Mutex.h"
#include "platform/TextVariables.h"

// A font described by a language file. Windows copy its attributes into fonts
// of their own (MakeLogFont); Handle() is the manager's own GDI font for the
// message boxes it shows.
class LanguageFont {
public:
    LanguageFont() = default;
    ~LanguageFont();
    LanguageFont(const LanguageFont&) = delete;
    LanguageFont& operator=(const LanguageFont&) = delete;

    std::wstring Name = L"Tahoma";
    int32_t Size = 8;                          // points
    int32_t Charset = DEFAULT_CHARSET;
    uint32_t Color = 0x80000000 | COLOR_WINDOWTEXT;  // 0x00BBGGRR, or 0x80000000 | system colour index
    bool Bold = false;
    bool Italic = false;

    // The font at `dpi` dots per inch, for CreateFontIndirectW.
    LOGFONTW MakeLogFont(int dpi = 96) const;
    // Created on first use at the screen's resolution; owned by this object.
    HFONT Handle() const;

private:
    mutable HFONT handle = nullptr;
};

// A colour value as used in language files and window colours: a system colour
// constant (0x80000000 | COLOR_xxx) becomes the system's current colour.
COLORREF ResolveColor(uint32_t color);

// Integers as language files write them: decimal with an optional sign, or
// hexadecimal after "$" or "0x". False (and `value` untouched) for anything else.
bool ParseLanguageInteger(const std::wstring& text, int32_t& value);

enum class MessageDialogType : uint8_t { Warning = 0, Error = 1, Information = 2, Confirmation = 3 };

// Buttons of a message dialog, bits 0..10 of a set.
namespace DialogButton {
constexpr uint16_t Yes = 1 << 0, No = 1 << 1, OK = 1 << 2, Cancel = 1 << 3, Abort = 1 << 4, Retry = 1 << 5,
                   Ignore = 1 << 6, All = 1 << 7, NoToAll = 1 << 8, YesToAll = 1 << 9, Help = 1 << 10;
}

// Modal results returned by MessageDialog.
namespace ModalResult {
constexpr int None = 0, OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7, All = 8,
              NoToAll = 9, YesToAll = 10;
}

// What a translated message dialog shows. The language manager decides the
// texts and answers; the user interface shows it (SetMessageDialogPresenter).
struct MessageDialogContent {
    std::wstring caption;
    std::wstring text;
    MessageDialogType type = MessageDialogType::Information;
    // (modal result, caption) in the order shown; Help has kHelpResult and closes nothing.
    std::vector<std::pair<int, std::wstring>> buttons;
    int defaultResult = ModalResult::OK;
    int escapeResult = ModalResult::None;   // None: Escape does nothing
    const LanguageFont* font = nullptr;
    uint32_t color = 0;                      // background, a colour value as for ResolveColor
    static constexpr int kHelpResult = 0x7F0;
};

using LanguageList = std::vector<std::pair<std::wstring, int32_t>>;

class UnicodeLanguage {
public:
    // Uses the folder and base name of the running executable.
    UnicodeLanguage();
    // For tests and tools: language files below `executableFolder`\LNG, the
    // per-executable subfolder and the definition file named by `baseName`.
    UnicodeLanguage(const std::wstring& executableFolder, const std::wstring& baseName);
    UnicodeLanguage(const UnicodeLanguage&) = delete;
    UnicodeLanguage& operator=(const UnicodeLanguage&) = delete;

    // 0 selects the language of the calling thread's locale.
    void SelectLanguage(int32_t languageId);
    int32_t GetLanguageId() const { return currentLanguage; }

    // The expanded text of `key`, or the key itself when no file defines it.
    std::wstring GetText(const std::wstring& key) const;
    std::wstring GetText(const std::wstring& key, const TextVariables& variables) const;
    bool HasText(const std::wstring& key) const { return texts.count(key) != 0; }

    // The font described under `fontKey` ("Font", "FileWipeWindowHeaderFont").
    // Owned by the manager; valid until the next SelectLanguage.
    const LanguageFont& GetFont(const std::wstring& fontKey);

    // (display text, identifier) of "<Default>" and every language file directly in LNG.
    bool ListLanguages(LanguageList& list) const;

    void SetRecordDefinitions(bool record);

    // Modal message box in the current language; returns a ModalResult.
    // `color` is the background (a colour value as for ResolveColor).
    int MessageDialog(const std::wstring& text, MessageDialogType type, uint16_t buttons, uint32_t color);
    // What MessageDialog shows for these arguments.
    MessageDialogContent MessageDialogContentFor(const std::wstring& text, MessageDialogType type, uint16_t buttons,
                                                 uint32_t color);
    // Every language manager's dialogs are shown by the presenter the user
    // interface installs at start-up; without one, by the system's message box.
    using MessageDialogPresenter = std::function<int(const MessageDialogContent& content)>;
    static void SetMessageDialogPresenter(MessageDialogPresenter presenter);

    const std::wstring& ExecutableFolder() const { return executableFolder; }
    const std::wstring& DefinitionFilePath() const { return definitionFilePath; }

private:
    struct Expansion;

    bool LoadFile(const std::wstring& fileName);
    std::wstring LocateFile(const std::wstring& fileName) const;
    std::wstring TextOf(const std::wstring& key, Expansion& expansion, int depth) const;
    std::wstring Expand(const std::wstring& text, Expansion& expansion, int depth) const;
    void RecordDefinition(const std::wstring& key, const TextVariables& variables) const;

    std::map<std::wstring, std::wstring> texts;
    std::map<std::wstring, std::unique_ptr<LanguageFont>> fonts;
    std::wstring executableFolder;
    std::wstring executableBaseName;
    std::wstring definitionFilePath;
    int32_t currentLanguage = 1033;
    bool recordDefinitions = false;
    // Texts are asked for from the scanning thread too; the read-modify-write of
    // a definition entry must not interleave.
    mutable Mutex definitionLock;
};

// The process-wide language manager, made on first use.
UnicodeLanguage& Language();
