// The editor's size from the Windows DPI: with the desktop's DPI set to 168
// (175 %, between the sizes the images are drawn at), a DPI-aware host
// process that loads Halvern.dll finds the editor at 175 % before and after
// it opens, drawn from the 200 % images shrunk, and a real click reaches the
// switch at its scaled place. The system reads the DPI when a process starts, so the
// host runs as a child process of the test, with the setting made first.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "PluginLibrary.h"
#include "RealInput.h"
#include "RecordingHost.h"

namespace {

constexpr const char* kChildVariable = "HALVERN_DPI_HOST";
constexpr const char* kDesktopKey = "Control Panel\\Desktop";

// The desktop's LogPixels for the life of the object, put back after.
class DesktopDpi {
public:
    explicit DesktopDpi(DWORD dpi) {
        DWORD size = sizeof before;
        hadBefore = RegGetValueA(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", RRF_RT_REG_DWORD, nullptr, &before,
                                 &size) == ERROR_SUCCESS;
        set = RegSetKeyValueA(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", REG_DWORD, &dpi, sizeof dpi) ==
              ERROR_SUCCESS;
    }
    ~DesktopDpi() {
        if (hadBefore)
            RegSetKeyValueA(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", REG_DWORD, &before, sizeof before);
        else
            RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktopKey, "LogPixels");
    }
    bool set = false;

private:
    DWORD before = 0;
    bool hadBefore = false;
};

// This test program again, running only the host below; its exit code.
DWORD runHostProcess() {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string command = std::string("\"") + self + "\" --gtest_filter=DpiAwareHost.*";
    SetEnvironmentVariableA(kChildVariable, "1");
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                        &process);
    SetEnvironmentVariableA(kChildVariable, nullptr);
    if (!started) return 1000;
    WaitForSingleObject(process.hProcess, 4 * kPatienceMs);
    DWORD code = 1001;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

}  // namespace

TEST(WindowsDpi, TheEditorTakesTheDpiOfTheWindowItIsIn) {
    DesktopDpi dpi(168);
    ASSERT_TRUE(dpi.set);
    EXPECT_EQ(runHostProcess(), 0u);
}

// The host process: only run by the test above.
TEST(DpiAwareHost, OpensTheEditorAtTheDesktopsScale) {
    if (!std::getenv(kChildVariable)) GTEST_SKIP() << "run by WindowsDpi.TheEditorTakesTheDpiOfTheWindowItIsIn";
    SetProcessDPIAware();
    RecordingHost recorder;
    PluginLibrary library("Halvern.dll");
    ASSERT_TRUE(library.loaded());
    AEffect* effect = library.entry("main")(RecordingHost::callback);
    ASSERT_NE(effect, nullptr);
    auto dispatch = [&](VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr) {
        return effect->dispatcher(effect, opcode, 0, value, ptr, 0.0f);
    };
    dispatch(effSetSampleRate, 0, nullptr);
    dispatch(effMainsChanged, 1);
    ERect* rect = nullptr;
    ASSERT_EQ(dispatch(effEditGetRect, 0, &rect), 1);
    EXPECT_EQ(rect->right, 431);
    EXPECT_EQ(rect->bottom, 485);

    WNDCLASSA hostClass{};
    hostClass.lpfnWndProc = DefWindowProcA;
    hostClass.hInstance = GetModuleHandleA(nullptr);
    hostClass.lpszClassName = "HalvernDpiHost";
    RegisterClassA(&hostClass);
    HWND host = CreateWindowExA(0, "HalvernDpiHost", "Halvern host", WS_POPUP | WS_VISIBLE, 40, 40, rect->right,
                                rect->bottom, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(host);
    ASSERT_EQ(dispatch(effEditOpen, 0, host), 1);
    HWND editor = GetWindow(host, GW_CHILD);
    ASSERT_NE(editor, nullptr);
    RECT client{};
    GetClientRect(editor, &client);
    EXPECT_EQ(client.right, 431);
    EXPECT_EQ(client.bottom, 485);
    ASSERT_EQ(dispatch(effEditGetRect, 0, &rect), 1);
    EXPECT_EQ(rect->right, 431);
    // The header's black band, from the shrunk panel.
    ASSERT_TRUE(pumpUntil([&] {
        dispatch(effEditIdle);
        return windowPixels(editor)[20 * 431 + 30] == 0x120E0Cu;  // 18, 14, 12
    }));

    // The switch at 175 %: 95..132 x 233..268.
    POINT at{113, 250};
    ClientToScreen(editor, &at);
    SetCursorPos(at.x, at.y);
    sendMouse(MOUSEEVENTF_LEFTDOWN);
    sendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(pumpUntil([&] {
        dispatch(effEditIdle);
        return effect->getParameter(effect, 0) == 1.0f;
    }));
    dispatch(effEditClose);
    dispatch(effClose);
    DestroyWindow(host);
}
