#pragma once
// What the tests of the options, log, help and about windows share: a
// configuration store, language files and a log of their own in a temporary
// folder (never the user's settings or Documents), a visible main window to
// centre on, and the user's gestures the toolkit's driver lacks.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "log/Log.h"
#include "settings/Oem.h"
#include "settings/Unicodelanguage.h"
#include "settings/Vxuserconfig.h"
#include "support/TempDir.h"
#include "ui/toolkit/Form.h"
#include "ui/toolkit/InputControls.h"

class AuxWindowTest : public ::testing::Test {
protected:
    AuxWindowTest();
    ~AuxWindowTest() override;

    // The text of the INI file behind `config` ("" before the first write).
    std::string StoredSettings() const;

    TempDir dir;
    COEMConfig branding;
    std::unique_ptr<VxUserConfig> config;
    std::unique_ptr<UnicodeLanguage> language;
    std::unique_ptr<Logger> log;
    tk::Form main;
};

// The base language file of the tests: every text is recognisable ("Options-T").
std::wstring TestBaseLanguage();

// A picture file of the given size (a 24-bit BMP with a colour gradient)
// under Graphics/<name> of `brand`.
void AddTestPicture(COEMConfig& brand, const std::string& name, int width, int height);

// Picks an entry of a drop-down list as the user does (the list tells its
// parent of the change); false when the user could not reach it.
bool ChooseEntry(tk::ComboBox& list, int index);
// Drags a track bar's thumb to `position`.
bool Slide(tk::TrackBar& bar, int position);
