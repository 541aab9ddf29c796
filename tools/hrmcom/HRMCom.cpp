// A stand-in for the device library HRMCom.dll: it simulates one monitor
// from a scenario file, so that the import dialog runs end to end without a
// device, and writes every call with its arguments to a log for the tests.
//
// The scenario is the INI file named by the environment variable
// HRMCOM_SCENARIO (see example-scenario.ini); it is read again whenever it
// changes. Without one, a monitor without exercises answers after a second.
#include <windows.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Exercise {
    std::string file;    // the .hrm file served
    int32_t number = 0;  // its file number
};

struct Scenario {
    int32_t code = 34;
    std::string name = "Polar (stand-in)";
    int32_t nameVariant = 0;
    int32_t memorySize = 0;
    int32_t freeMemory = 0;
    int32_t lowVoltage = 0;
    int32_t reported = 0;  // exercises the monitor reports
    int32_t answerAfter = 1000;  // ms from the first poll; negative: never
    int32_t transferDelay = 0;   // ms per read and per save
    std::vector<Exercise> exercises;
    bool failReset = false, failStart = false, failMonitorInfo = false, failBulkRead = false;
    std::string failRead, failSave;  // comma-separated exercise indexes
    std::string logFile;
};

struct Session {
    DWORD firstPoll = 0;
    bool polling = false;
    int32_t polls = 0;
    int32_t lastAnswer = 0;
    int32_t current = -1;  // exercise made current by the last read
    int32_t saves = 0;
};

Scenario scenario;
std::string scenarioPath;
FILETIME scenarioTime{};
Session session;
std::string nameBuffer;

std::string readString(const char* section, const char* key, const char* fallback) {
    char buffer[1024];
    GetPrivateProfileStringA(section, key, fallback, buffer, sizeof buffer, scenarioPath.c_str());
    return buffer;
}

int32_t readInt(const char* section, const char* key, int32_t fallback) {
    const std::string text = readString(section, key, "");
    if (text.empty()) return fallback;
    return static_cast<int32_t>(std::strtol(text.c_str(), nullptr, 0));
}

// Reloads the scenario when its path or its file changed since the last call.
void refreshScenario() {
    char path[MAX_PATH] = "";
    GetEnvironmentVariableA("HRMCOM_SCENARIO", path, sizeof path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    const bool exists = path[0] && GetFileAttributesExA(path, GetFileExInfoStandard, &data);
    if (scenarioPath == path && (!exists || CompareFileTime(&scenarioTime, &data.ftLastWriteTime) == 0)) return;
    scenarioPath = path;
    scenarioTime = data.ftLastWriteTime;
    scenario = Scenario{};
    if (!exists) return;
    Scenario& s = scenario;
    s.code = readInt("Monitor", "Code", s.code);
    s.name = readString("Monitor", "Name", s.name.c_str());
    s.nameVariant = readInt("Monitor", "NameVariant", 0);
    s.memorySize = readInt("Monitor", "MemorySize", 0);
    s.freeMemory = readInt("Monitor", "FreeMemory", 0);
    s.lowVoltage = readInt("Monitor", "LowVoltage", 0);
    s.answerAfter = readInt("Monitor", "AnswerAfter", s.answerAfter);
    s.transferDelay = readInt("Monitor", "TransferDelay", 0);
    for (int i = 0;; ++i) {
        const std::string index = std::to_string(i);
        const std::string file = readString("Files", ("File" + index).c_str(), "");
        if (file.empty()) break;
        s.exercises.push_back({file, readInt("Files", ("Number" + index).c_str(), i + 1)});
    }
    s.reported = readInt("Monitor", "Exercises", static_cast<int32_t>(s.exercises.size()));
    s.failReset = readInt("Fail", "Reset", 0) != 0;
    s.failStart = readInt("Fail", "Start", 0) != 0;
    s.failMonitorInfo = readInt("Fail", "MonitorInfo", 0) != 0;
    s.failBulkRead = readInt("Fail", "BulkRead", 0) != 0;
    s.failRead = "," + readString("Fail", "Read", "") + ",";
    s.failSave = "," + readString("Fail", "Save", "") + ",";
    s.logFile = readString("Log", "File", "");
}

bool listed(const std::string& list, int32_t index) {
    return list.find("," + std::to_string(index) + ",") != std::string::npos;
}

uint16_t fpuControlWord() {
    uint16_t word = 0;
    __asm__ __volatile__("fnstcw %0" : "=m"(word));
    return word;
}

void appendLine(const std::string& line) {
    if (scenario.logFile.empty()) return;
    // Opened per line, so the log is complete at every moment a test reads it.
    if (FILE* log = std::fopen(scenario.logFile.c_str(), "ab")) {
        std::fprintf(log, "%s\r\n", line.c_str());
        std::fclose(log);
    }
}

// Polls are many; they are logged as one line before the next other call.
void flushPolls() {
    if (session.polls == 0) return;
    appendLine("IsIrDAConnected() x" + std::to_string(session.polls) + " -> " + std::to_string(session.lastAnswer));
    session.polls = 0;
}

// One line per call: the call, its result and the x87 control word it ran with.
void logCall(int64_t result, const char* format, ...) {
    refreshScenario();
    flushPolls();
    char text[2048];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    char tail[64];
    std::snprintf(tail, sizeof tail, " -> %lld cw=%04X", static_cast<long long>(result), fpuControlWord());
    appendLine(std::string(text) + tail);
}

std::string quoted(const char* text) { return text ? "\"" + std::string(text) + "\"" : std::string("null"); }

// A window handle as its caption, so the log shows whose handle it is.
std::string windowText(HWND window) {
    if (!window) return "window=null";
    if (!IsWindow(window)) return "window=invalid";
    char caption[256] = "";
    GetWindowTextA(window, caption, sizeof caption);
    return "window=\"" + std::string(caption) + "\"";
}

// The general-parameters record: the fields set and whether the rest is 0.
std::string generalParams(const void* record) {
    if (!record) return "params=null";
    const auto* bytes = static_cast<const uint8_t*>(record);
    uint32_t size, version, window;
    std::memcpy(&size, bytes, 4);
    std::memcpy(&version, bytes + 4, 4);
    std::memcpy(&window, bytes + 1044, 4);
    bool restZero = true;
    for (int i = 8; i < 1260; ++i)
        if (i != 1041 && (i < 1044 || i >= 1048) && bytes[i] != 0) restZero = false;
    char text[512];
    std::snprintf(text, sizeof text, "params{size=%u version=%u b1041=%u %s rest=%s}", size, version, bytes[1041],
                  windowText(reinterpret_cast<HWND>(static_cast<uintptr_t>(window))).c_str(),
                  restZero ? "0" : "set");
    return text;
}

void putInt(void* record, int offset, int32_t value) { std::memcpy(static_cast<uint8_t*>(record) + offset, &value, 4); }

bool exerciseExists(int32_t index) { return index >= 0 && index < static_cast<int32_t>(scenario.exercises.size()); }

void transferPause() {
    if (scenario.transferDelay > 0) Sleep(static_cast<DWORD>(scenario.transferDelay));
}

}  // namespace

// Exported by name through HRMCom.def.
extern "C" {

int32_t __stdcall fnHRMCom_SetComText(int32_t slot, const char* text) {
    logCall(1, "SetComText(%d, %s)", slot, quoted(text).c_str());
    return 1;
}

int32_t __stdcall fnHRMCom_ResetIRCommunication(int32_t reserved) {
    refreshScenario();
    session = Session{};
    const int32_t result = scenario.failReset ? 0 : 1;
    logCall(result, "ResetIRCommunication(%d)", reserved);
    return result;
}

int32_t __stdcall fnHRMCom_StartIRCommunication(int32_t flags, const char* port) {
    refreshScenario();
    const int32_t result = scenario.failStart ? 0 : 1;
    logCall(result, "StartIRCommunication(0x%02X, %s)", flags, quoted(port).c_str());
    return result;
}

int32_t __stdcall fnHRMCom_IsIrDAConnected() {
    refreshScenario();
    if (!session.polling) {
        session.polling = true;
        session.firstPoll = GetTickCount();
    }
    const DWORD waited = GetTickCount() - session.firstPoll;
    session.lastAnswer = scenario.answerAfter >= 0 && waited >= static_cast<DWORD>(scenario.answerAfter) ? 1 : 0;
    ++session.polls;
    if (session.lastAnswer) session.polling = false;
    return session.lastAnswer;
}

int32_t __stdcall fnHRMCom_ReadMonitorInfo(void* params, void* info) {
    refreshScenario();
    const int32_t result = scenario.failMonitorInfo || !info ? 0 : 1;
    if (result) {
        putInt(info, 4, scenario.code);
        putInt(info, 12, scenario.reported);
        putInt(info, 16, scenario.freeMemory);
        putInt(info, 20, scenario.memorySize);
        putInt(info, 24, scenario.lowVoltage);
        putInt(info, 36, scenario.nameVariant);
    }
    logCall(result, "ReadMonitorInfo(%s)", generalParams(params).c_str());
    return result;
}

const char* fnHRMCom_GetPolarHRMonitorName(int32_t code, int32_t variant) {
    refreshScenario();
    nameBuffer = scenario.name;
    logCall(0, "GetPolarHRMonitorName(%d, %d) = %s", code, variant, quoted(nameBuffer.c_str()).c_str());
    return nameBuffer.c_str();
}

int32_t __stdcall fnHRMCom_ReadExercisesData(HWND window, int32_t reserved) {
    refreshScenario();
    // A failure keeps the high half set: only the low 16 bits count.
    const int32_t result = scenario.failBulkRead ? 0x10000 : scenario.reported + 1;
    if (!scenario.failBulkRead) transferPause();
    logCall(result, "ReadExercisesData(%s, %d)", windowText(window).c_str(), reserved);
    return result;
}

int32_t __stdcall fnHRMCom_GetExeFileInfo(int32_t index, void* info) {
    refreshScenario();
    const int32_t result = info && exerciseExists(index) && !listed(scenario.failRead, index) ? 1 : 0;
    if (result) putInt(info, 8, scenario.exercises[index].number);
    logCall(result, "GetExeFileInfo(%d)", index);
    return result;
}

int32_t __stdcall fnHRMCom_AnalyzeFile(int32_t index, int32_t reserved) {
    refreshScenario();
    const int32_t result = exerciseExists(index) ? 1 : 0;
    if (result) session.current = index;
    logCall(result, "AnalyzeFile(%d, %d)", index, reserved);
    return result;
}

int32_t __stdcall fnHRMCom_ReadExerciseFile(HWND window, int32_t index, int32_t reserved) {
    refreshScenario();
    const int32_t result = exerciseExists(index) && !listed(scenario.failRead, index) ? 1 : 0;
    if (result) {
        session.current = index;
        transferPause();
    }
    logCall(result, "ReadExerciseFile(%s, %d, %d)", windowText(window).c_str(), index, reserved);
    return result;
}

int32_t __stdcall fnHRMCom_GetRecParam(int32_t selector) {
    refreshScenario();
    const int32_t result = selector == 9 && exerciseExists(session.current) ? scenario.exercises[session.current].number : 0;
    logCall(result, "GetRecParam(%d)", selector);
    return result;
}

int32_t __stdcall fnHRMCom_SaveExerciseHRM(HWND window, const char* path, int32_t reserved) {
    refreshScenario();
    // Without a read in between, the next exercise in turn is current.
    const int32_t index = session.current >= 0 ? session.current : session.saves;
    int32_t result = 0;
    if (path && exerciseExists(index) && !listed(scenario.failSave, index)) {
        transferPause();
        result = CopyFileA(scenario.exercises[index].file.c_str(), path, FALSE) ? 1 : 0;
    }
    ++session.saves;
    session.current = -1;
    logCall(result, "SaveExerciseHRM(%s, %s, %d)", windowText(window).c_str(), quoted(path).c_str(), reserved);
    return result;
}

int32_t __stdcall fnHRMCom_SendMonitorToWatchMode(void* params) {
    logCall(1, "SendMonitorToWatchMode(%s)", generalParams(params).c_str());
    return 1;
}

int32_t __stdcall fnHRMCom_EndIRCommunication(int32_t reserved) {
    logCall(1, "EndIRCommunication(%d)", reserved);
    return 1;
}

}  // extern "C"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) flushPolls();
    return TRUE;
}
