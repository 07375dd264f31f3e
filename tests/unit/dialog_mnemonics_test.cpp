// Every dialog template of the designer read as the resource compiler reads
// it: keyboard users reach each edit box and list through its label's
// mnemonic, and no two controls of one dialog answer the same Alt+letter.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fw {
namespace {

struct TemplateControl {
    std::string kind;      // LTEXT, EDITTEXT, PUSHBUTTON, CONTROL ...
    std::string caption;   // as written, without the quotes
    bool hasCaption = false;
};

struct DialogTemplate {
    std::string name;
    std::vector<TemplateControl> controls;
};

std::vector<DialogTemplate> readTemplates(const std::string& file) {
    std::ifstream in(std::string(FW_RESOURCES_DIR) + "/" + file);
    EXPECT_TRUE(in) << file;
    static const std::regex header(R"(^(\w+)\s+DIALOG(EX)?\b.*)");
    static const std::regex control(R"re(^\s*(\w+)\s+(?:"((?:[^"]|"")*)")?.*)re");
    std::vector<DialogTemplate> dialogs;
    bool inBody = false;
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (std::regex_match(line, m, header)) {
            dialogs.push_back({m[1].str(), {}});
            inBody = false;
            continue;
        }
        if (dialogs.empty()) continue;
        if (line == "BEGIN") {
            inBody = true;
        } else if (line == "END") {
            inBody = false;
        } else if (inBody && std::regex_match(line, m, control)) {
            dialogs.back().controls.push_back({m[1].str(), m[2].str(), m[2].matched});
        }
    }
    return dialogs;
}

// The letter after a single "&" ("&&" is a plain ampersand), or 0.
char mnemonicOf(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i + 1])));
    }
    return 0;
}

bool isLabel(const std::string& kind) { return kind == "LTEXT" || kind == "RTEXT" || kind == "CTEXT"; }
bool takesText(const std::string& kind) { return kind == "EDITTEXT" || kind == "COMBOBOX" || kind == "LISTBOX"; }

TEST(DialogMnemonics, EveryLabelOfABoxOrListHasOneAndNoDialogHasTwoAlike) {
    int dialogsSeen = 0, labelsSeen = 0;
    for (const char* file : {"editor_pages.rc", "form_dialogs.rc", "menu_dialogs.rc", "barcode_dialogs.rc",
                             "settings_dialogs.rc", "preferences.rc", "collected_data.rc", "transfer_dialogs.rc",
                             "check_dialog.rc", "fwk400.rc"}) {
        for (const DialogTemplate& d : readTemplates(file)) {
            ++dialogsSeen;
            std::map<char, std::string> taken;
            for (std::size_t i = 0; i < d.controls.size(); ++i) {
                const TemplateControl& c = d.controls[i];
                const char key = c.hasCaption ? mnemonicOf(c.caption) : 0;
                if (key) {
                    const auto [at, fresh] = taken.emplace(key, c.caption);
                    EXPECT_TRUE(fresh) << file << " " << d.name << ": \"" << c.caption << "\" and \"" << at->second
                                       << "\" share Alt+" << key;
                }
                // A label reaches the box that follows it in the tab order.
                if (isLabel(c.kind) && c.hasCaption && !c.caption.empty() && i + 1 < d.controls.size() &&
                    takesText(d.controls[i + 1].kind)) {
                    ++labelsSeen;
                    EXPECT_NE(key, 0) << file << " " << d.name << ": \"" << c.caption << "\" has no mnemonic";
                }
            }
        }
    }
    // The templates were found and read.
    EXPECT_GT(dialogsSeen, 30);
    EXPECT_GT(labelsSeen, 100);
}

}  // namespace
}  // namespace fw
