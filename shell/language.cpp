#include "shell/language.h"

#include <algorithm>
#include <fstream>
#include <string_view>
#include <system_error>

#include "model/fixed_text.h"
#include "shell/preferences.h"
#include "texts/code_page.h"

namespace fw {

namespace {

constexpr std::size_t kNameBytes = 100;   // where a file's name must end

bool isSpaceOrTab(char c) { return c == ' ' || c == '\t'; }

// The text number before "=": digits with blanks allowed around them.
// -1 for anything else (no digits, a sign, other characters), and for a
// number beyond the table however many digits it has.
long slotNumber(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isSpaceOrTab(s[i])) ++i;
    std::size_t first = i;
    long value = 0;
    while (i < s.size() && isDigit(s[i])) {
        if (value < static_cast<long>(LanguageTexts::kSlots)) value = value * 10 + (s[i] - '0');
        ++i;
    }
    if (i == first) return -1;
    while (i < s.size() && isSpaceOrTab(s[i])) ++i;
    if (i != s.size()) return -1;
    return value < static_cast<long>(LanguageTexts::kSlots) ? value : -1;
}

// ".lng" in any case at the end of a file name, in the system's own
// characters (wide on Windows).
template <typename Char>
bool hasLanguageExtension(const std::basic_string<Char>& name) {
    static constexpr char kExt[] = ".lng";
    if (name.size() < 4) return false;
    for (std::size_t i = 0; i < 4; ++i) {
        Char c = name[name.size() - 4 + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<Char>(c - 'A' + 'a');
        if (c != static_cast<Char>(kExt[i])) return false;
    }
    return true;
}

// File names in a stable order, letters in either case alike, so that the
// list and the choice between two files of the same name do not depend on
// how the file system happens to store the folder.
bool beforeByName(const std::filesystem::path& a, const std::filesystem::path& b) {
    const std::filesystem::path nameA = a.filename();
    const std::filesystem::path nameB = b.filename();
    const auto& x = nameA.native();
    const auto& y = nameB.native();
    auto fold = [](auto c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; };
    if (std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(),
                                     [&](auto p, auto q) { return fold(p) < fold(q); }))
        return true;
    if (std::lexicographical_compare(y.begin(), y.end(), x.begin(), x.end(),
                                     [&](auto p, auto q) { return fold(p) < fold(q); }))
        return false;
    return x < y;
}

// Up to `cap` bytes of a file; false when it cannot be opened or read.
bool readHead(const std::filesystem::path& path, std::size_t cap, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.resize(cap);
    in.read(out.data(), static_cast<std::streamsize>(cap));
    out.resize(static_cast<std::size_t>(in.gcount()));
    return !in.bad() && (in.good() || in.eof());
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Takes the byte-order mark off `bytes`; true when there was one.
bool dropByteOrderMark(std::string_view& bytes) {
    if (bytes.substr(0, kByteOrderMark.size()) != kByteOrderMark) return false;
    bytes.remove_prefix(kByteOrderMark.size());
    return true;
}

}  // namespace

bool languageFileIsUtf8(std::string_view bytes) {
    return dropByteOrderMark(bytes) || isValidUtf8(bytes);
}

std::string languageName(const char* data, std::size_t size) {
    if (!data) return {};
    std::string_view head(data, std::min(size, kNameBytes));
    const bool utf8 = dropByteOrderMark(head);
    std::size_t cr = head.find('\r');
    if (cr == std::string_view::npos) return {};
    std::string_view name = head.substr(0, cr);
    name = name.substr(0, name.find('\0'));
    if (utf8 || isValidUtf8(name)) {
        // The characters the texts can hold, up to the first they cannot.
        const std::string shown = codePageFromUtf8(name).bytes;
        return shown.substr(0, kMaxLanguageNameChars);
    }
    return std::string(name.substr(0, kMaxLanguageNameChars));
}

int parseLanguageFile(const char* data, std::size_t size, LanguageTexts& texts) {
    if (!data) return 0;
    std::string_view file(data, size);
    if (file.size() > kLanguageFileCap) {
        // Whole lines only: a line cut in two would give a text its end
        // never had.
        file = file.substr(0, kLanguageFileCap);
        std::size_t lastLf = file.rfind('\n');
        file = lastLf == std::string_view::npos ? std::string_view() : file.substr(0, lastLf + 1);
    }

    std::size_t at = file.find('\n');   // the first line is the name
    if (at == std::string_view::npos) return 0;
    ++at;
    const bool utf8 = languageFileIsUtf8(file);

    int applied = 0;
    while (at < file.size()) {
        std::size_t lf = file.find('\n', at);
        std::size_t end = lf == std::string_view::npos ? file.size() : lf;
        std::string_view line = file.substr(at, end - at);
        at = end + 1;

        // "=" is looked for in this line only: a line without one must not
        // join the next line's number to its own text.
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        long id = slotNumber(line.substr(0, eq));
        if (id < 0) continue;
        std::string_view text = line.substr(eq + 1);
        // The line ends in CR LF; a line ended by a line feed alone (or by
        // the end of the file) keeps its last character.
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        if (utf8) {
            // A text with a character the program's texts cannot hold keeps
            // the program's own text rather than show another character.
            const CodePageText converted = codePageFromUtf8(text);
            if (!converted.ok()) continue;
            texts.set(static_cast<unsigned>(id), converted.bytes.data(), converted.bytes.size());
            ++applied;
            continue;
        }
        texts.set(static_cast<unsigned>(id), text.data(), text.size());
        ++applied;
    }
    return applied;
}

int findLanguages(const std::filesystem::path& folder, LanguageList& list) {
    namespace fs = std::filesystem;
    list = LanguageList{};

    std::vector<fs::path> matches;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        // A folder called "x.lng" is no language file.
        if (!it->is_regular_file(typeError)) continue;
        const fs::path file = it->path().filename();
        if (hasLanguageExtension(file.native())) matches.push_back(it->path());
    }
    if (matches.empty()) return list.count = -1;
    std::sort(matches.begin(), matches.end(), beforeByName);

    for (const fs::path& path : matches) {
        if (static_cast<int>(list.files.size()) == kMaxLanguageFiles) break;
        std::string head;
        if (!readHead(path, kNameBytes, head)) {
            list.files.clear();
            return list.count = -1;
        }
        std::string name = languageName(head.data(), head.size());
        // "0" stands for the built-in texts in the settings; a file of that
        // name could never be chosen.
        if (name.empty() || name == kBuiltInLanguage) continue;
        list.files.push_back({std::move(name), path});
    }
    return list.count = static_cast<int>(list.files.size());
}

bool loadLanguage(const LanguageList& list, const std::string& name, LanguageTexts& texts) {
    if (list.count < 1 || name == kBuiltInLanguage) return false;
    for (const LanguageFile& file : list.files) {
        if (file.name != name) continue;
        // One byte over the cap shows that the file goes on past it.
        std::string bytes;
        if (!readHead(file.path, kLanguageFileCap + 1, bytes) || bytes.empty()) continue;
        parseLanguageFile(bytes.data(), bytes.size(), texts);
        return true;
    }
    return false;
}

LanguageList& languageList() {
    static LanguageList list;
    return list;
}

int findLanguages(const std::filesystem::path& folder) {
    return findLanguages(folder, languageList());
}

bool loadLanguage(const std::string& name) {
    bool loaded = loadLanguage(languageList(), name, languageTexts());
    setLanguageActive(loaded);
    return loaded;
}

int languageListIndex(const LanguageList& list, const std::string& language) {
    for (std::size_t i = 0; i < list.files.size(); ++i)
        if (list.files[i].name == language) return static_cast<int>(i) + 1;
    return 0;
}

std::string languageOfListIndex(const LanguageList& list, int index) {
    if (index < 1 || index > static_cast<int>(list.files.size())) return kBuiltInLanguage;
    return list.files[static_cast<std::size_t>(index) - 1].name;
}

}  // namespace fw
