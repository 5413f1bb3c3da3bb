// Reading, writing and recording answer files.
#include "host/toolkit/answer_file.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "host/toolkit/toolkit_internal.h"

namespace orv::toolkit {

namespace {

constexpr std::size_t kAnswerFileLimit = 1024 * 1024;
// The program reads the spool directory into 300 bytes and adds a backslash.
constexpr std::size_t kSpoolDirectoryLimit = 298;
constexpr int kShowingLimit = 99;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Cuts a comment: ";" at the start or after a blank.
std::string_view CutComment(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ';' && (i == 0 || text[i - 1] == ' ' || text[i - 1] == '\t')) return text.substr(0, i);
    }
    return text;
}

enum class Key { Events, Model, Port, SpoolDirectory, DefaultPrinter, Driver, Action };

struct KeyName {
    Key key;
    const char *name;
};

constexpr KeyName kKeys[] = {
    {Key::Events, "Events"},         {Key::Model, "Model"},   {Key::Port, "Port"},
    {Key::SpoolDirectory, "SpoolDirectory"}, {Key::DefaultPrinter, "DefaultPrinter"},
    {Key::Driver, "Driver"},         {Key::Action, "Action"},
};

const char *KeyText(Key key) {
    for (const auto &entry : kKeys) {
        if (entry.key == key) return entry.name;
    }
    return "";
}

bool KeyAllowed(const DialogDefinition &dialog, Key key) {
    switch (key) {
    case Key::Events: return true;
    case Key::Model:
    case Key::Port:
    case Key::SpoolDirectory:
    case Key::DefaultPrinter: return dialog.kind == DialogKind::Plotter;
    case Key::Driver: return dialog.id == 800;
    case Key::Action: return dialog.id == 908;
    }
    return false;
}

std::string Lower(std::string_view text) {
    std::string result(text);
    for (char &c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

std::string SectionsList() {
    std::string list;
    for (const auto &dialog : AllDialogs()) {
        if (dialog.answerSection == nullptr) continue;
        if (!list.empty()) list += ", ";
        list += dialog.answerSection;
    }
    return list;
}

struct Parser {
    std::string_view fileName;
    std::string &error;
    int line = 0;

    bool Fail(const std::string &what) {
        error = std::string(fileName) + ", line " + std::to_string(line) + ": " + what;
        return false;
    }
};

// Reads a value: quoted ("..." with "" for a quote) or plain up to a comment.
bool ReadValue(Parser &parser, std::string_view raw, const std::string &keyName, std::string &value, bool &given) {
    std::string_view text = Trim(raw);
    value.clear();
    if (!text.empty() && text.front() == '"') {
        std::size_t i = 1;
        bool closed = false;
        while (i < text.size()) {
            if (text[i] == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    value += '"';
                    i += 2;
                    continue;
                }
                closed = true;
                ++i;
                break;
            }
            value += text[i++];
        }
        if (!closed) return parser.Fail("key " + keyName + ": the quoted value has no closing quote");
        std::string_view rest = Trim(text.substr(i));
        if (!rest.empty() && rest.front() != ';') return parser.Fail("key " + keyName + ": text after the quoted value");
        given = true;
    } else {
        value = std::string(Trim(CutComment(text)));
        given = !value.empty();
    }
    for (char c : value) {
        if (static_cast<unsigned char>(c) < 32) return parser.Fail("key " + keyName + ": the value holds a control character");
    }
    return true;
}

template <typename T>
bool Store(Parser &parser, PerShowing<T> &slot, int showing, T value, const std::string &keyName) {
    if (slot.byShowing.count(showing) != 0) return parser.Fail("key " + keyName + " is given twice");
    slot.byShowing.emplace(showing, std::move(value));
    return true;
}

}  // namespace

DialogEvent DialogAnswers::EventFor(int number) const {
    if (events.empty() || number < 1) return dialogId == 200 ? DialogEvent::Exit : DialogEvent::Continue;
    std::size_t index = std::min<std::size_t>(static_cast<std::size_t>(number), events.size()) - 1;
    return events[index];
}

const DialogAnswers *AnswerFile::Find(int dialogId) const {
    for (const auto &dialog : dialogs) {
        if (dialog.dialogId == dialogId) return &dialog;
    }
    return nullptr;
}

bool ParseAnswerFile(std::string_view text, std::string_view fileName, AnswerFile &answers, std::string &error) {
    answers = AnswerFile{};
    answers.fileName = std::string(fileName);
    Parser parser{fileName, error};
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

    DialogAnswers *current = nullptr;
    const DialogDefinition *currentDialog = nullptr;
    std::vector<bool> eventsGiven;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        std::string_view raw = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        start = end == std::string_view::npos ? text.size() + 1 : end + 1;
        ++parser.line;
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        if (raw.find('\0') != std::string_view::npos) return parser.Fail("the line holds a NUL byte");
        std::string_view line = Trim(raw);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;

        if (line.front() == '[') {
            std::string_view header = Trim(CutComment(line));
            if (header.size() < 2 || header.back() != ']') return parser.Fail("the section header has no closing ']'");
            std::string_view name = Trim(header.substr(1, header.size() - 2));
            const DialogDefinition *dialog = FindDialogBySection(name);
            if (dialog == nullptr) {
                return parser.Fail("unknown section [" + std::string(name) + "]; the sections are " + SectionsList());
            }
            if (answers.Find(dialog->id) != nullptr) {
                return parser.Fail("section [" + std::string(name) + "] is given twice");
            }
            answers.dialogs.push_back(DialogAnswers{});
            current = &answers.dialogs.back();
            current->dialogId = dialog->id;
            currentDialog = dialog;
            continue;
        }

        std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) return parser.Fail("expected key=value or [section], found '" + std::string(line) + "'");
        std::string_view keyText = Trim(line.substr(0, equals));
        if (current == nullptr) return parser.Fail("key " + std::string(keyText) + " comes before any section");
        if (keyText.empty()) return parser.Fail("a value without a key");

        int showing = 1;
        std::string_view baseName = keyText;
        if (std::size_t dot = keyText.find('.'); dot != std::string_view::npos) {
            std::string_view number = keyText.substr(dot + 1);
            baseName = keyText.substr(0, dot);
            auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), showing);
            if (number.empty() || ec != std::errc{} || ptr != number.data() + number.size() || showing < 1 ||
                showing > kShowingLimit) {
                return parser.Fail("key " + std::string(keyText) + ": the showing after '.' must be a number from 1 to " +
                                   std::to_string(kShowingLimit));
            }
        }
        const KeyName *known = nullptr;
        for (const auto &entry : kKeys) {
            if (EqualNoCase(baseName, entry.name)) known = &entry;
        }
        if (known == nullptr || !KeyAllowed(*currentDialog, known->key)) {
            return parser.Fail("unknown key " + std::string(keyText) + " in section [" + currentDialog->answerSection + "]");
        }
        std::string keyName = KeyText(known->key);
        if (showing != 1) keyName += "." + std::to_string(showing);

        std::string value;
        bool given = false;
        if (!ReadValue(parser, line.substr(equals + 1), keyName, value, given)) return false;
        if (!given) continue;  // an empty value keeps the dialog's preset

        switch (known->key) {
        case Key::Events: {
            if (showing != 1) return parser.Fail("key " + keyName + ": Events takes no showing number; list the events instead");
            if (!current->events.empty()) return parser.Fail("key Events is given twice");
            std::size_t from = 0;
            while (from <= value.size()) {
                std::size_t comma = value.find(',', from);
                std::string_view word = Trim(std::string_view(value).substr(
                    from, comma == std::string::npos ? std::string::npos : comma - from));
                from = comma == std::string::npos ? value.size() + 1 : comma + 1;
                DialogEvent event;
                if (!ParseEventWord(word, event)) {
                    return parser.Fail("key Events: '" + std::string(word) +
                                       "' is not an event; the events are CONTINUE, BACK, CANCEL and EXIT");
                }
                current->events.push_back(event);
            }
            break;
        }
        case Key::Model:
            if (!Store(parser, current->model, showing, value, keyName)) return false;
            break;
        case Key::Port:
            if (!Store(parser, current->port, showing, value, keyName)) return false;
            break;
        case Key::SpoolDirectory:
            if (value.size() > kSpoolDirectoryLimit) {
                return parser.Fail("key " + keyName + ": the spool directory is longer than " +
                                   std::to_string(kSpoolDirectoryLimit) + " characters");
            }
            if (!Store(parser, current->spoolDirectory, showing, value, keyName)) return false;
            break;
        case Key::DefaultPrinter: {
            std::string lower = Lower(value);
            if (lower != "yes" && lower != "no") return parser.Fail("key " + keyName + ": '" + value + "' is not yes or no");
            if (!Store(parser, current->defaultPrinter, showing, lower == "yes", keyName)) return false;
            break;
        }
        case Key::Driver: {
            std::string lower = Lower(value);
            if (lower != "vector" && lower != "raster") {
                return parser.Fail("key " + keyName + ": '" + value + "' is not vector or raster");
            }
            if (!Store(parser, current->button, showing, lower == "vector" ? 1 : 2, keyName)) return false;
            break;
        }
        case Key::Action: {
            std::string lower = Lower(value);
            if (lower != "keep" && lower != "replace") {
                return parser.Fail("key " + keyName + ": '" + value + "' is not keep or replace");
            }
            if (!Store(parser, current->button, showing, lower == "keep" ? 1 : 2, keyName)) return false;
            break;
        }
        }
    }
    return true;
}

bool LoadAnswerFile(const std::filesystem::path &file, AnswerFile &answers, std::string &error) {
    std::string text;
    std::string readError;
    if (!ReadSmallFile(file, kAnswerFileLimit, text, readError)) {
        error = "answer file: " + readError;
        return false;
    }
    return ParseAnswerFile(text, file.string(), answers, error);
}

namespace {

std::string Quote(const std::string &value) {
    bool plain = !value.empty() && value.front() != ' ' && value.front() != '"' && value.back() != ' ' &&
                 value.find(';') == std::string::npos && value.find('\t') == std::string::npos;
    if (plain) return value;
    std::string quoted = "\"";
    for (char c : value) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

template <typename T, typename Format>
void WriteValues(std::string &out, const char *key, const PerShowing<T> &values, Format format) {
    for (const auto &[showing, value] : values.byShowing) {
        out += key;
        if (showing != 1) out += "." + std::to_string(showing);
        out += "=" + format(value) + "\n";
    }
}

}  // namespace

std::string FormatAnswerFile(const AnswerFile &answers) {
    std::string out = "; Answers for orvalen-setup --answers\n";
    for (const auto &dialog : answers.dialogs) {
        const DialogDefinition *definition = FindDialog(dialog.dialogId);
        if (definition == nullptr || definition->answerSection == nullptr) continue;
        out += "\n[" + std::string(definition->answerSection) + "]  ; dialog " + std::to_string(dialog.dialogId) + "\n";
        if (!dialog.events.empty()) {
            // The last event repeats, so trailing repeats need not be written.
            std::size_t count = dialog.events.size();
            while (count > 1 && dialog.events[count - 1] == dialog.events[count - 2]) --count;
            out += "Events=";
            for (std::size_t i = 0; i < count; ++i) {
                if (i > 0) out += ",";
                out += EventWord(dialog.events[i]);
            }
            out += "\n";
        }
        auto text = [](const std::string &value) { return Quote(value); };
        WriteValues(out, "Model", dialog.model, text);
        WriteValues(out, "Port", dialog.port, text);
        WriteValues(out, "SpoolDirectory", dialog.spoolDirectory, text);
        WriteValues(out, "DefaultPrinter", dialog.defaultPrinter, [](bool value) { return std::string(value ? "yes" : "no"); });
        const char *buttonKey = dialog.dialogId == 800 ? "Driver" : "Action";
        WriteValues(out, buttonKey, dialog.button, [&](int value) {
            if (dialog.dialogId == 800) return std::string(value == 1 ? "vector" : "raster");
            return std::string(value == 1 ? "keep" : "replace");
        });
    }
    return out;
}

bool SaveAnswerFile(const std::filesystem::path &file, const AnswerFile &answers, std::string &error) {
    return WriteFileAtomically(file, FormatAnswerFile(answers), error);
}

namespace {

template <typename T>
void RecordValue(PerShowing<T> &slot, int number, T value) {
    auto previous = slot.For(number);
    if (!previous || *previous != value) slot.byShowing[number] = std::move(value);
}

}  // namespace

void AnswerRecorder::Record(const DialogDefinition &dialog, int number, const SymbolStore &symbols, DialogEvent event) {
    if (dialog.answerSection == nullptr || number < 1) return;
    DialogAnswers *answers = nullptr;
    for (auto &candidate : answers_.dialogs) {
        if (candidate.dialogId == dialog.id) answers = &candidate;
    }
    if (answers == nullptr) {
        answers_.dialogs.push_back(DialogAnswers{});
        answers = &answers_.dialogs.back();
        answers->dialogId = dialog.id;
    }
    std::size_t index = static_cast<std::size_t>(number) - 1;
    if (answers->events.size() <= index) {
        DialogEvent filler = answers->events.empty() ? event : answers->events.back();
        answers->events.resize(index + 1, filler);
    }
    answers->events[index] = event;

    if (dialog.kind == DialogKind::Plotter) {
        RecordValue(answers->model, number, symbols.Value(kSymModelOut));
        RecordValue(answers->port, number, symbols.Item(kSymPortOut, 1).value_or(""));
        RecordValue(answers->spoolDirectory, number, symbols.Item(kSymSpoolOut, 1).value_or(""));
        RecordValue(answers->defaultPrinter, number, symbols.Item(kSymCheckState, 1).value_or("") == "ON");
    } else if (dialog.kind == DialogKind::Radio) {
        std::string checked = symbols.Value(kSymButtonChecked);
        RecordValue(answers->button, number, !checked.empty() && checked[0] == '1' ? 1 : 2);
    }
}

}  // namespace orv::toolkit
