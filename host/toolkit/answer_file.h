// Answer files: the answers of an unattended run, in INI syntax, one section per
// dialog ("Welcome", "Plotter", ...). Parsed strictly (every fault names the file,
// line and key), and written back by --save-answers from what a run answered.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/toolkit/frontend.h"

namespace orv::toolkit {

// A value given for some showings of a dialog: `Key=` applies from the first showing,
// `Key.N=` from the N-th on, until a later N.
template <typename T>
struct PerShowing {
    std::map<int, T> byShowing;  // first showing it applies to -> value

    bool Empty() const { return byShowing.empty(); }
    // The value for showing `number`, when one is given for it or an earlier showing.
    std::optional<T> For(int number) const {
        auto it = byShowing.upper_bound(number);
        if (it == byShowing.begin()) return std::nullopt;
        return std::prev(it)->second;
    }
};

struct DialogAnswers {
    int dialogId = 0;
    std::vector<DialogEvent> events;       // the n-th showing answers the n-th; the last repeats
    PerShowing<std::string> model;         // Plotter
    PerShowing<std::string> port;          // Plotter
    PerShowing<std::string> spoolDirectory;  // Plotter
    PerShowing<bool> defaultPrinter;       // Plotter
    PerShowing<int> button;                // Radio: 1 or 2 (Driver=vector/raster, Action=keep/replace)

    // The event of showing `number`: the n-th of `events`, the last repeating, or the
    // dialog's default (CONTINUE; EXIT for the quit dialog).
    DialogEvent EventFor(int number) const;
};

struct AnswerFile {
    std::string fileName;
    std::vector<DialogAnswers> dialogs;  // in the order of the file

    const DialogAnswers *Find(int dialogId) const;
};

// Parses answer-file text. False with `error` as "<file>, line N: <what>".
bool ParseAnswerFile(std::string_view text, std::string_view fileName, AnswerFile &answers, std::string &error);
// Reads and parses a host file.
bool LoadAnswerFile(const std::filesystem::path &file, AnswerFile &answers, std::string &error);

// The answer-file text of `answers`, with a comment naming each dialog.
std::string FormatAnswerFile(const AnswerFile &answers);
// Writes it through a synced temporary file renamed into place.
bool SaveAnswerFile(const std::filesystem::path &file, const AnswerFile &answers, std::string &error);

// Collects what a run answered, dialog by dialog and showing by showing.
class AnswerRecorder {
public:
    // Records the answer of showing `number` of `dialog` from the symbols it set.
    void Record(const DialogDefinition &dialog, int number, const SymbolStore &symbols, DialogEvent event);
    const AnswerFile &Answers() const { return answers_; }
    void Clear() { answers_ = AnswerFile{}; }

private:
    AnswerFile answers_;
};

}  // namespace orv::toolkit
