// The unattended front end: answers each dialog from the answer file (or, where the
// file says nothing, with the dialog's preset), writes message boxes to stderr, and
// fails a dialog that the answers cannot settle.
#include <cctype>
#include <cstdio>
#include <optional>

#include "host/toolkit/answer_file.h"
#include "host/toolkit/frontend.h"
#include "platform/win32.h"

namespace orv::toolkit {

namespace {

// A dialog shown this often is taken for answers that never finish.
constexpr int kShowingLimit = 100;

bool SameNameNoCase(const std::string &a, const std::string &b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
}

// The listed spelling of `wanted`: an exact match first, else one without regard to case.
std::optional<std::string> FindListed(const std::vector<std::string> &listed, const std::string &wanted) {
    for (const auto &item : listed) {
        if (item == wanted) return item;
    }
    for (const auto &item : listed) {
        if (SameNameNoCase(item, wanted)) return item;
    }
    return std::nullopt;
}

std::string Choices(const std::vector<std::string> &listed) {
    std::string text;
    std::size_t empty = 0;
    for (const auto &item : listed) {
        if (item.empty()) {
            ++empty;
            continue;
        }
        if (!text.empty()) text += ", ";
        text += "\"" + item + "\"";
    }
    if (text.empty()) text = "none";
    if (empty > 0) text += " (and " + std::to_string(empty) + " empty entries)";
    return text;
}

class UnattendedFrontEnd final : public FrontEnd {
public:
    explicit UnattendedFrontEnd(const FrontEndSettings &settings) : answers_(settings.answers) {}

    bool RunDialog(const DialogDefinition &dialog, SymbolStore &symbols, const DialogShowing &showing,
                   std::string &error) override {
        std::string name = "dialog " + std::to_string(dialog.id) +
                           (dialog.answerSection != nullptr ? " [" + std::string(dialog.answerSection) + "]" : "");
        if (showing.number >= kShowingLimit) {
            error = name + " was shown " + std::to_string(showing.number) + " times: the answers" + Source() +
                    " never finish the setup";
            return false;
        }
        // Nobody watches an unattended run: the fatal dialog's text, which names the
        // error, goes where its message boxes go.
        if (dialog.kind == DialogKind::Fatal) MessageBox(showing.text, dialog.title, MB_ICONSTOP);
        const DialogAnswers *answers = answers_ != nullptr ? answers_->Find(dialog.id) : nullptr;
        DialogEvent event = DialogEvent::Continue;
        if (answers != nullptr) {
            event = answers->EventFor(showing.number);
        } else if (dialog.kind == DialogKind::Quit) {
            event = DialogEvent::Exit;
        }
        if (dialog.kind == DialogKind::Radio) {
            std::optional<int> button = answers != nullptr ? answers->button.For(showing.number) : std::nullopt;
            if (!button) button = symbols.Value(kSymRadioDefault) == "1" ? 1 : 2;
            symbols.SetValue(kSymButtonChecked, *button == 1 ? "1" : "2");
        } else if (dialog.kind == DialogKind::Plotter) {
            if (!AnswerPlotter(name, answers, showing.number, symbols, error)) return false;
        }
        symbols.SetValue(kSymEvent, EventWord(event));
        return true;
    }

    int MessageBox(std::string_view text, std::string_view caption, UINT style) override {
        (void)style;
        std::fprintf(stderr, "[%.*s] %.*s\n", static_cast<int>(caption.size()), caption.data(),
                     static_cast<int>(text.size()), text.data());
        std::fflush(stderr);
        return IDOK;
    }

    void SetTitle(std::string_view) override {}
    void SetBanner(std::string_view, int) override {}
    void SetAbout(std::string_view, std::string_view) override {}
    void WaitCursor(bool) override {}
    void BeginCopy(std::size_t, std::uint64_t) override {}
    bool CopyProgress(std::string_view, std::uint64_t, std::uint64_t) override { return true; }
    void EndCopy() override {}
    void Shutdown() override {}

private:
    const AnswerFile *answers_;

    std::string Source() const { return answers_ != nullptr ? " in " + answers_->fileName : ""; }

    bool AnswerPlotter(const std::string &name, const DialogAnswers *answers, int number, SymbolStore &symbols,
                       std::string &error) {
        std::vector<std::string> models = symbols.Items(kSymModelsIn);
        std::vector<std::string> ports = symbols.Items(kSymPortsIn);

        std::string model;
        if (auto given = answers != nullptr ? answers->model.For(number) : std::nullopt) {
            auto listed = FindListed(models, *given);
            if (!listed) {
                error = name + ": the model \"" + *given + "\"" + Source() + " is not listed; the models are " +
                        Choices(models);
                return false;
            }
            model = *listed;
        } else {
            std::size_t position = 0;
            std::string preset = symbols.Value(kSymModelDefault);
            try {
                position = preset.empty() ? 0 : std::stoul(preset);
            } catch (...) {
                position = 0;
            }
            if (position < models.size()) {
                model = models[position];
            } else if (!models.empty()) {
                model = models.front();
            }
        }

        std::string port;
        if (auto given = answers != nullptr ? answers->port.For(number) : std::nullopt) {
            auto listed = FindListed(ports, *given);
            if (!listed) {
                error = name + ": the port \"" + *given + "\"" + Source() + " is not listed; the ports are " + Choices(ports);
                return false;
            }
            port = *listed;
        } else {
            std::string preset = symbols.Value(kSymPortDefault);
            auto listed = FindListed(ports, preset);
            port = listed ? *listed : (ports.empty() ? preset : ports.front());
        }

        std::string spool;
        if (auto given = answers != nullptr ? answers->spoolDirectory.For(number) : std::nullopt) {
            spool = *given;
        } else {
            spool = symbols.Item(kSymSpoolIn, 1).value_or("");
        }

        bool makeDefault;
        if (auto given = answers != nullptr ? answers->defaultPrinter.For(number) : std::nullopt) {
            makeDefault = *given;
        } else {
            makeDefault = symbols.Item(kSymCheckState, 1).value_or("ON") == "ON";
        }

        symbols.SetList(kSymCheckState, {makeDefault ? "ON" : "OFF"});
        symbols.SetList(kSymPortOut, {port});
        symbols.SetList(kSymSpoolOut, {spool});
        symbols.SetValue(kSymModelOut, model);
        return true;
    }
};

}  // namespace

std::unique_ptr<FrontEnd> CreateUnattendedFrontEnd(const FrontEndSettings &settings, std::string &error) {
    (void)error;
    return std::make_unique<UnattendedFrontEnd>(settings);
}

}  // namespace orv::toolkit
