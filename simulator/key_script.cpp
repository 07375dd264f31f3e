#include "simulator/key_script.h"

#include <cctype>
#include <cstring>

namespace fw {

namespace {

struct KeyName {
    const char* name;
    int key;
};

// The labels of the face's keys. Both Enter keys act alike; ENT is the left.
constexpr KeyName kKeyNames[] = {
    {"1", 1},      {"2", 2},     {"3", 3},      {"4", 4},    {"5", 5},      {"6", 6},     {"7", 7},
    {"8", 8},      {"9", 9},     {"0", 11},     {"-", 13},   {".", 16},     {"ALPHA", 10}, {"MENU", 12},
    {"UP", 14},    {"DOWN", 15}, {"ESC", 17},   {"BS", 18},  {"BACK", 18},  {"ENT", 19},  {"ENTER", 19},
};

bool sameName(std::string_view a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) return false;
    }
    return true;
}

// A word as a message quotes it: printable, and not endless.
std::string quoted(std::string_view word) {
    std::string s = "'";
    for (char ch : word.substr(0, 40)) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c < 0x7F) {
            s += ch;
        } else {
            char hex[8];
            static const char kDigits[] = "0123456789ABCDEF";
            hex[0] = '\\';
            hex[1] = 'x';
            hex[2] = kDigits[c >> 4];
            hex[3] = kDigits[c & 15];
            hex[4] = '\0';
            s += hex;
        }
    }
    if (word.size() > 40) s += "...";
    return s + "'";
}

class Parser {
public:
    explicit Parser(std::string_view s) : s_(s) {}

    ScriptParse run() {
        ScriptParse out;
        for (;;) {
            skipSpaceAndComments();
            if (pos_ >= s_.size()) break;
            const int line = line_, column = column_;
            errLine_ = line;
            errColumn_ = column;
            std::string problem;
            if (s_[pos_] == '"') {
                problem = text(out, line, column);
            } else {
                problem = word(out, line, column);
            }
            if (!problem.empty()) {
                out.steps.clear();
                out.error = "line " + std::to_string(errLine_) + ", column " + std::to_string(errColumn_) + ": " + problem;
                return out;
            }
        }
        return out;
    }

private:
    void advance() {
        if (s_[pos_] == '\n') {
            ++line_;
            column_ = 1;
        } else {
            ++column_;
        }
        ++pos_;
    }

    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

    void skipSpaceAndComments() {
        while (pos_ < s_.size()) {
            if (isSpace(s_[pos_])) {
                advance();
            } else if (s_[pos_] == '#') {
                while (pos_ < s_.size() && s_[pos_] != '\n') advance();
            } else {
                break;
            }
        }
    }

    std::string_view bareWord() {
        const std::size_t start = pos_;
        while (pos_ < s_.size() && !isSpace(s_[pos_]) && s_[pos_] != '"') advance();
        return s_.substr(start, pos_ - start);
    }

    std::string word(ScriptParse& out, int line, int column) {
        const std::string_view w = bareWord();
        ScriptStep step;
        step.word = std::string(w);
        step.line = line;
        step.column = column;
        if (sameName(w, "WAIT")) {
            skipSpaceAndComments();
            const int nLine = line_, nColumn = column_;
            const std::string_view n = pos_ < s_.size() && s_[pos_] != '"' ? bareWord() : std::string_view();
            long long seconds = 0;
            bool good = !n.empty() && n.size() <= 12;
            for (char c : n) good = good && c >= '0' && c <= '9';
            if (good) {
                for (char c : n) seconds = seconds * 10 + (c - '0');
                good = seconds <= kMaxWaitSeconds;
            }
            if (!good) {
                if (n.empty()) return "'wait' needs a number of seconds";
                // The number's own place names it better than the wait's.
                errLine_ = nLine;
                errColumn_ = nColumn;
                return "'wait' needs a number of seconds up to " + std::to_string(kMaxWaitSeconds) + ", not " +
                       quoted(n);
            }
            step.kind = ScriptStepKind::Wait;
            step.seconds = seconds;
            step.word = "wait " + std::string(n);
            out.steps.push_back(step);
            return {};
        }
        const int key = keyByName(w);
        if (key == 0) return "unknown key " + quoted(w);
        step.kind = ScriptStepKind::Key;
        step.key = key;
        out.steps.push_back(step);
        return {};
    }

    std::string text(ScriptParse& out, int line, int column) {
        const std::size_t start = pos_;
        advance();   // the opening quote
        std::string t;
        for (;;) {
            if (pos_ >= s_.size()) return "text without its closing quote";
            const char c = s_[pos_];
            if (c == '"') {
                advance();
                break;
            }
            KeyStroke stroke;
            if (!keyStrokeFor(c, stroke)) {
                errLine_ = line_;
                errColumn_ = column_;
                return quoted(std::string_view(&s_[pos_], 1)) + " in " +
                       quoted(s_.substr(start, pos_ + 1 - start)) + " cannot be typed on the keypad" +
                       (c >= 'a' && c <= 'z' ? " (it types capital letters)" : "");
            }
            t += c;
            advance();
        }
        ScriptStep step;
        step.kind = ScriptStepKind::Text;
        step.text = std::move(t);
        step.word = std::string(s_.substr(start, pos_ - start));
        step.line = line;
        step.column = column;
        out.steps.push_back(std::move(step));
        return {};
    }

    std::string_view s_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int column_ = 1;
    int errLine_ = 1;     // where the problem of the word at hand is
    int errColumn_ = 1;
};

}  // namespace

int keyByName(std::string_view name) {
    for (const KeyName& k : kKeyNames) {
        if (sameName(name, k.name)) return k.key;
    }
    return 0;
}

bool keyStrokeFor(char c, KeyStroke& stroke) {
    stroke = {};
    if (c >= '1' && c <= '9') {
        stroke.key = c - '0';
        return true;
    }
    switch (c) {
        case '0': stroke.key = 11; return true;
        case '-': stroke.key = 13; return true;
        case '.': stroke.key = 16; return true;
        default: break;
    }
    // The letter cycles of alphabetic entry.
    static constexpr struct {
        int key;
        const char* letters;
    } kCycles[] = {{1, " "},    {2, "ABC"},  {3, "DEF"}, {4, "GHI"}, {5, "JKL"}, {6, "MNO"},
                   {7, "PQRS"}, {8, "TUV"},  {9, "WXYZ"}, {11, "/*"}, {13, "+$"}, {16, "%#"}};
    for (const auto& cycle : kCycles) {
        for (int i = 0; cycle.letters[i] != '\0'; ++i) {
            if (cycle.letters[i] == c) {
                stroke.key = cycle.key;
                stroke.presses = i + 1;
                stroke.alpha = true;
                return true;
            }
        }
    }
    return false;
}

ScriptParse parseKeyScript(std::string_view script) { return Parser(script).run(); }

}  // namespace fw
