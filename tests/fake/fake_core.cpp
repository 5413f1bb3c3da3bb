// The fake platform's core: its state, call records, scripted failures, reset, the
// script and inspection functions of fake_platform.h, and the runtime calls
// (process exit, heap buffers).
#include "include/setup_state.h"
#include "host/text/ansi_text.h"
#include "platform/runtime.h"
#include "platform/win32.h"
#include "tests/fake/fake_state.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

// The registry library's table is reset when the test links it; a weak reference,
// so that tests without the registry library need not link it.
extern void ResetRegistryApi() __attribute__((weak));

namespace fake::detail {

State &S() {
    static State state;
    return state;
}

std::optional<long long> Enter(const char *name, std::vector<std::string> args) {
    State &s = S();
    s.calls.push_back(Call{name, std::move(args)});
    auto found = s.failures.find(name);
    if (found == s.failures.end() || found->second.empty()) return std::nullopt;
    Failure &failure = found->second.front();
    long long result = failure.result;
    if (failure.lastError != 0) s.lastError = failure.lastError;
    if (failure.times != AllCalls && --failure.times <= 0) found->second.pop_front();
    return result;
}

std::string Str(const char *text) { return text == nullptr ? "NULL" : std::string(text); }
std::string Num(long long value) { return std::to_string(value); }

std::string Ptr(const void *pointer) {
    if (pointer == nullptr) return "NULL";
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(pointer)));
    return text;
}

LONG CopyOut(const std::string &text, char *buffer, LONG size) {
    if (buffer != nullptr && size > 0) {
        std::size_t count = text.size() < static_cast<std::size_t>(size - 1) ? text.size() : static_cast<std::size_t>(size - 1);
        std::memcpy(buffer, text.data(), count);
        buffer[count] = '\0';
    }
    return static_cast<LONG>(text.size());
}

std::uintptr_t NewHandleValue() {
    S().nextHandle += 0x10;
    return S().nextHandle;
}

std::string Lower(std::string text) {
    for (char &c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string IniStoreKey(const std::string &file, const std::string &section, const std::string &key) {
    return Lower(file) + '\n' + Lower(section) + '\n' + Lower(key);
}

}  // namespace fake::detail

namespace fake {

using detail::S;

std::string Call::Text() const {
    std::string text = name + "(";
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i > 0) text += ",";
        text += args[i];
    }
    return text + ")";
}

void Reset() {
    detail::S() = detail::State{};
    detail::ResetRegistry();
    orv::text::SetCodePages(1252, 437);
    ResetSetupState();
    if (ResetRegistryApi != nullptr) ResetRegistryApi();
}

int RunUntilExit(const std::function<void()> &body) {
    try {
        body();
    } catch (const ProcessExited &exited) {
        return exited.code;
    }
    ADD_FAILURE() << "the code returned instead of ending the process";
    return -1;
}

const std::vector<Call> &Calls() { return S().calls; }

namespace {
bool Wanted(const std::vector<std::string> &names, const std::string &name) {
    for (const std::string &wanted : names) {
        if (wanted == name) return true;
    }
    return false;
}
}  // namespace

std::vector<std::string> CallTexts() {
    std::vector<std::string> texts;
    for (const Call &call : S().calls) texts.push_back(call.Text());
    return texts;
}

std::vector<std::string> CallTexts(const std::vector<std::string> &names) {
    std::vector<std::string> texts;
    for (const Call &call : S().calls) {
        if (Wanted(names, call.name)) texts.push_back(call.Text());
    }
    return texts;
}

std::vector<std::string> CallNames() {
    std::vector<std::string> result;
    for (const Call &call : S().calls) result.push_back(call.name);
    return result;
}

std::vector<std::string> CallNames(const std::vector<std::string> &names) {
    std::vector<std::string> result;
    for (const Call &call : S().calls) {
        if (Wanted(names, call.name)) result.push_back(call.name);
    }
    return result;
}

int CountCalls(std::string_view name) {
    int count = 0;
    for (const Call &call : S().calls) count += call.name == name ? 1 : 0;
    return count;
}

void ClearCalls() { S().calls.clear(); }
void Note(const std::string &name, const std::vector<std::string> &args) { S().calls.push_back(Call{name, args}); }

void FailCall(const std::string &name, Failure failure) {
    if (failure.times == 0) return;
    S().failures[name].push_back(failure);
}

void ScriptDialog(int dialogId, std::vector<DialogAnswer> answers) { S().dialogScripts[dialogId] = std::move(answers); }

void ScriptEvents(int dialogId, const std::vector<std::string> &events) {
    std::vector<DialogAnswer> answers;
    for (const std::string &event : events) {
        DialogAnswer answer;
        answer.event = event;
        answers.push_back(answer);
    }
    ScriptDialog(dialogId, std::move(answers));
}

int ShowCount(int dialogId) {
    auto found = S().showCounts.find(dialogId);
    return found == S().showCounts.end() ? 0 : found->second;
}

std::vector<int> ShownDialogs() { return S().shownDialogs; }
std::vector<int> OpenDialogs() { return S().dialogStack; }

void SetSymbol(const std::string &name, const std::string &value) { S().symbols[name].items = {value}; }
void SetList(const std::string &name, const std::vector<std::string> &items) { S().symbols[name].items = items; }
bool HasSymbol(const std::string &name) { return S().symbols.count(name) != 0; }

std::string Symbol(const std::string &name) {
    auto found = S().symbols.find(name);
    if (found == S().symbols.end() || found->second.items.empty()) return "";
    const std::vector<std::string> &items = found->second.items;
    if (items.size() == 1) return items[0];
    std::string text = "{";
    for (std::size_t i = 0; i < items.size(); ++i) text += (i > 0 ? ",\"" : "\"") + items[i] + "\"";
    return text + "}";
}

std::vector<std::string> List(const std::string &name) {
    auto found = S().symbols.find(name);
    return found == S().symbols.end() ? std::vector<std::string>{} : found->second.items;
}

void PostMessage(UINT message) { S().messages.push_back(message); }
void PostQuit() { PostMessage(WM_QUIT); }
std::size_t QueuedMessages() { return S().messages.size(); }

void SetWindowsDirectory(const std::string &path) { S().windowsDir = path; }
void SetSystemDirectory(const std::string &path) { S().systemDir = path; }
void SetCurrentDirectory(const std::string &path) { S().currentDir = path; }
void SetActiveWindow(HWND window) { S().activeWindow = window; }
HWND FrameWindow() { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x100)); }
HINSTANCE FrameInstance() { return reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(0x200)); }
void SetValidDir(const std::string &path, bool valid) { S().validDirs[path] = valid; }
void SetValidDirDefault(bool valid) { S().validDirDefault = valid; }
void SetDirExists(const std::string &path, bool exists) { S().existingDirs[path] = exists; }
void SetDirExistsDefault(bool exists) { S().dirExistsDefault = exists; }

void SetFindFileAnswer(int result, const std::string &path) {
    S().findFileResult = result;
    S().findFilePath = path;
}

void SetCopyResult(int result) { S().copyResult = result; }
void SetTextAnswer(const std::string &callName, const std::string &text) { S().textAnswers[callName] = text; }
void SetFileExists(const std::string &path, bool exists) { S().existingFiles[path] = exists; }
void SetFileVersion(const std::string &path, const std::string &version) { S().fileVersions[path] = version; }
void SetFileWritable(const std::string &path, bool writable) { S().writableFiles[path] = writable; }
void SetInfField(const std::string &section, const std::string &key, int field, const std::string &text) {
    S().infFields[section + '\n' + key + '\n' + std::to_string(field)] = text;
}
void UseIniStore() { S().iniStoreOn = true; }
void SetIniValue(const std::string &file, const std::string &section, const std::string &key,
                 const std::string &value) {
    S().iniStoreOn = true;
    S().iniValues[detail::IniStoreKey(file, section, key)] = value;
}
std::optional<std::string> IniValue(const std::string &file, const std::string &section, const std::string &key) {
    auto found = S().iniValues.find(detail::IniStoreKey(file, section, key));
    if (found == S().iniValues.end()) return std::nullopt;
    return found->second;
}
void WithholdProc(const std::string &name) { S().withheldProcs.insert(name); }
int LoadedModules() { return S().loadedModules; }
DWORD LastError() { return S().lastError; }

void SetPorts(const std::vector<std::string> &ports) { S().ports = ports; }
void SetDrivers(const std::vector<DriverRecord> &drivers) { S().drivers = drivers; }
void SetPrinters(const std::vector<std::string> &printers) { S().printers = printers; }
std::vector<DriverRecord> Drivers() { return S().drivers; }
std::vector<std::string> Printers() { return S().printers; }
std::vector<PrinterRecord> AddedPrinters() { return S().addedPrinters; }
int OpenPrinterHandles() { return static_cast<int>(S().printerHandles.size()); }

int LiveHeapBuffers() { return S().liveHeapBuffers; }

}  // namespace fake

using fake::detail::Enter;
using fake::detail::Num;
using fake::detail::Ptr;

void ProcessExit(int code) {
    Enter("ProcessExit", {Num(code)});
    throw fake::ProcessExited{code};
}

void *HeapAllocZeroed(std::size_t size) {
    if (auto failed = Enter("HeapAllocZeroed", {Num(static_cast<long long>(size))})) return nullptr;
    void *buffer = std::calloc(size == 0 ? 1 : size, 1);
    if (buffer != nullptr) ++fake::detail::S().liveHeapBuffers;
    return buffer;
}

void HeapRelease(void *buffer) {
    Enter("HeapRelease", {Ptr(buffer)});
    if (buffer == nullptr) return;
    --fake::detail::S().liveHeapBuffers;
    std::free(buffer);
}
