// The toolkit on the Windows backend, in real windows on a display, driven
// by real input (SendInput) and a real drag and drop (DoDragDrop).
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Bitmap.h"
#include "DrawContext.h"
#include "Frame.h"
#include "GuiEditor.h"
#include "Knob.h"
#include "OnOffButton.h"
#include "RasterPlatform.h"
#include "gui/RecordingController.h"
#include "platform/win32/FileDropTarget.h"
#include "platform/win32/Win32Platform.h"
#include "Win32Fixture.h"
#include "gui/RasterFixture.h"
#include "platform/EmbeddedImages.h"



TEST_F(Win32Toolkit, ChildWindowIsCreatedPaintedAndDestroyed) {
    HWND child;
    {
        Frame frame({0, 0, 64, 48}, host, nullptr, win32);
        Bitmap* background = new Bitmap(win32, kBackgroundImage);
        ASSERT_TRUE(background->isLoaded());
        frame.setBackground(background);
        background->release();
        child = childOf(frame);
        ASSERT_TRUE(IsWindow(child));
        EXPECT_EQ(GetParent(child), host);
        char name[64];
        GetClassNameA(child, name, sizeof name);
        char expected[64];
        std::snprintf(expected, sizeof expected, "Plugin%08x",
                      static_cast<unsigned>(reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr))));
        EXPECT_STREQ(name, expected);
        RECT client;
        GetClientRect(child, &client);
        EXPECT_EQ(client.right, 64);
        EXPECT_EQ(client.bottom, 48);

        RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        RasterImage expectedPixels;
        const EmbeddedImage* file = findEmbeddedImage(kBackgroundImage);
        ASSERT_TRUE(file && expectedPixels.decodeBmp(file->bytes, file->size));
        HDC dc = GetDC(child);
        for (int y = 0; y < 48; y += 5)
            for (int x = 0; x < 64; x += 5) ASSERT_EQ(pixelAt(dc, x, y), expectedPixels.pixel(x, y)) << x << "," << y;
        ReleaseDC(child, dc);
    }
    EXPECT_FALSE(IsWindow(child));
}

TEST_F(Win32Toolkit, WindowClassIsRegisteredOnceForTwoFramesAndGoesWithTheLast) {
    WNDCLASSA found;
    auto* first = new Frame({0, 0, 20, 20}, host, nullptr, win32);
    auto* second = new Frame({0, 0, 20, 20}, host, nullptr, win32);
    EXPECT_EQ(Win32Platform::windowClassUsers(), 2);
    EXPECT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), Win32Platform::windowClassName(), &found));
    delete first;
    EXPECT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), Win32Platform::windowClassName(), &found));
    delete second;
    EXPECT_EQ(Win32Platform::windowClassUsers(), 0);
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), Win32Platform::windowClassName(), &found));
}

TEST_F(Win32Toolkit, RealClicksReachTheRightView) {
    Frame frame({0, 0, 120, 100}, host, nullptr, win32);
    auto* below = new ProbeView({10, 10, 50, 50});
    auto* above = new ProbeView({40, 40, 80, 80});
    frame.addView(below);
    frame.addView(above);
    pumpPending();
    clickAt(childOf(frame), {45, 45});
    ASSERT_TRUE(pumpUntil([&] { return above->clicks == 1; }));
    EXPECT_EQ(below->clicks, 0);
    clickAt(childOf(frame), {50, 20});  // right edge, inclusive
    ASSERT_TRUE(pumpUntil([&] { return below->clicks == 1; }));
    EXPECT_EQ(below->lastClick, (Point{50, 20}));
    clickAt(childOf(frame), {70, 70}, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(pumpUntil([&] { return above->clicks == 2; }));
    above->setMouseEnabled(false);
    clickAt(childOf(frame), {45, 45});
    ASSERT_TRUE(pumpUntil([&] { return below->clicks == 2; }));
    EXPECT_EQ(above->clicks, 2);
}

namespace {

// A switch at (30, 30) in the frame, and the cursor over it.
OnOffButton* switchUnderTheCursor(Frame& frame, ControlListener& listener, platform::Platform& win32, HWND window) {
    Bitmap* image = new Bitmap(win32, kSwitchImage);
    auto* button = new OnOffButton({30, 30, 51, 50}, &listener, 0, image);
    image->release();
    frame.addView(button);
    pumpPending();
    POINT screen{35, 35};
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);
    return button;
}

}  // namespace

TEST_F(Win32Toolkit, SwitchTogglesOnARealPressAndModifiersAreSeen) {
    Frame frame({0, 0, 120, 100}, host, nullptr, win32);
    ListenerProbe listener;
    OnOffButton* button = switchUnderTheCursor(frame, listener, win32, childOf(frame));
    sendMouse(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(pumpUntil([&] { return listener.calls == 1; }));  // acts while the button is held
    EXPECT_EQ(button->getValue(), 1.0f);
    // Modifiers pressed during the drag. (Under Wine a mouse event takes the
    // modifier state of the display, so the keys go down after the button.)
    sendKey(VK_SHIFT, true);
    pumpPending();
    EXPECT_EQ(win32.mouseButtons(), platform::kLeftButton | platform::kShiftKey);
    sendKey(VK_SHIFT, false);
    sendKey(VK_CONTROL, true);
    pumpPending();
    EXPECT_EQ(win32.mouseButtons(), platform::kLeftButton | platform::kControlKey);
    sendKey(VK_CONTROL, false);
    sendMouse(MOUSEEVENTF_LEFTUP);
    pumpPending();
    EXPECT_EQ(win32.mouseButtons(), 0);
}

namespace {

class FrameEditor : public GuiEditor {
public:
    FrameEditor(EditorController* controller, HWND parent) : GuiEditor(controller) {
        frame = new Frame({0, 0, 100, 80}, parent, this, getPlatform());
    }
    ~FrameEditor() override { delete frame; }
};

}  // namespace

TEST_F(Win32Toolkit, IdlePumpPacesItselfAndPaintsWhileTheMouseIsHeld) {
    std::vector<DWORD> idleTicks;
    RecordingController controller;
    controller.onHostIdle = [&] { idleTicks.push_back(GetTickCount()); };
    auto editor = std::make_unique<FrameEditor>(&controller, host);
    auto* view = new ProbeView({0, 0, 10, 10});
    editor->getFrame()->addView(view);
    pumpPending();
    const int drawsBefore = view->draws;
    InvalidateRect(static_cast<HWND>(editor->getPlatform().nativeHandle(editor->getFrame()->getWindow())), nullptr,
                   FALSE);
    idleTicks.clear();
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 600) editor->pumpIdle();
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GT(view->draws, drawsBefore);  // the pending paint was dispatched from the pump
    // Each pass waits until its tick count is within 50 ms of the deadline set
    // 100 ms after the one before, so the passes are at least 50 ms of tick
    // count apart; the pump estimates the time slept, so count passes rather
    // than measure single gaps.
    EXPECT_GE(idleTicks.size(), 2u);
    EXPECT_LE(idleTicks.size(), elapsed / 50 + 2) << elapsed << " ms";
}

// --- Drag and drop --------------------------------------------------------------------

namespace {

// Data offered by the drag: text or a file list, in global memory.
class TestData : public IDataObject {
public:
    TestData(CLIPFORMAT format, HGLOBAL memory) : format(format), memory(memory) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* wanted, STGMEDIUM* medium) override {
        if (QueryGetData(wanted) != S_OK) return DV_E_FORMATETC;
        const SIZE_T size = GlobalSize(memory);
        HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
        std::memcpy(GlobalLock(copy), GlobalLock(memory), size);
        GlobalUnlock(copy);
        GlobalUnlock(memory);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = copy;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* wanted) override {
        return wanted->cfFormat == format && (wanted->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC** out) override {
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    ULONG references = 1;
    CLIPFORMAT format;
    HGLOBAL memory;
};

// Drops as soon as the drag has started over the window under the cursor.
class DropAtOnce : public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override {
        return escape ? DRAGDROP_S_CANCEL : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

HGLOBAL globalText(const char* text) {
    const size_t size = std::strlen(text) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(memory), text, size);
    GlobalUnlock(memory);
    return memory;
}

// A DROPFILES record followed by the names, each ended by a zero, and one more zero.
HGLOBAL globalFileList(const std::vector<std::string>& names) {
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& name : names) size += name.size() + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    char* out = reinterpret_cast<char*>(header + 1);
    for (const std::string& name : names) {
        std::memcpy(out, name.c_str(), name.size() + 1);
        out += name.size() + 1;
    }
    GlobalUnlock(memory);
    return memory;
}

std::string tempPath(const char* leaf) {
    char directory[MAX_PATH];
    GetTempPathA(MAX_PATH, directory);
    return std::string(directory) + leaf;
}

// Answers the effect the drop target reported to the source.
DWORD dragOnto(HWND window, Point where, CLIPFORMAT format, HGLOBAL memory) {
    POINT screen{where.x, where.y};
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);
    pumpPending();
    TestData data(format, memory);
    DropAtOnce source;
    DWORD effect = 0;
    DoDragDrop(&data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    GlobalFree(memory);
    return effect;
}

}  // namespace

TEST_F(Win32Toolkit, DroppedTextAndFilesReachTheViewWithShortcutsResolved) {
    Frame frame({0, 0, 120, 100}, host, nullptr, win32);
    auto* target = new ProbeView({0, 0, 120, 100});
    target->acceptsDrops = true;
    frame.addView(target);
    pumpPending();

    EXPECT_EQ(dragOnto(childOf(frame), {30, 30}, CF_TEXT, globalText("speed fast")), DWORD{DROPEFFECT_MOVE});
    EXPECT_EQ(target->droppedType, platform::kDropText);
    EXPECT_EQ(target->droppedFirst, "speed fast");
    EXPECT_EQ(target->droppedCount, 11);

    // A real file and a shortcut to it, with its extension in capitals.
    const std::string file = tempPath("halvern-drop.txt");
    HANDLE created = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(created);
    const std::string shortcut = tempPath("halvern-drop.LNK");
    IShellLinkA* link = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<void**>(&link)),
              S_OK);
    link->SetPath(file.c_str());
    IPersistFile* persist = nullptr;
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist));
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, shortcut.c_str(), -1, wide, MAX_PATH);
    ASSERT_EQ(persist->Save(wide, TRUE), S_OK);
    persist->Release();
    link->Release();

    struct Capture : ProbeView {
        using ProbeView::ProbeView;
        bool onDrop(void** items, int count, int type, Point) override {
            names.clear();
            for (int i = 0; i < count; ++i) names.push_back(static_cast<const char*>(items[i]));
            droppedType = type;
            return true;
        }
        std::vector<std::string> names;
    };
    auto* capture = new Capture({0, 0, 120, 100});
    frame.addView(capture);
    dragOnto(childOf(frame), {60, 60}, CF_HDROP, globalFileList({shortcut, file}));
    ASSERT_EQ(capture->names.size(), 2u);
    EXPECT_EQ(capture->droppedType, platform::kDropFiles);
    // The shortcut arrives as its target (asked for as a short path, which
    // some systems answer with the long one), a plain file unchanged.
    char longTarget[MAX_PATH] = "";
    GetLongPathNameA(capture->names[0].c_str(), longTarget, MAX_PATH);
    EXPECT_STRCASEEQ(longTarget, file.c_str()) << capture->names[0];
    EXPECT_EQ(capture->names[1], file);
    DeleteFileA(shortcut.c_str());
    DeleteFileA(file.c_str());
}

// A drop that no view takes tells the source nothing happened, so a source
// that honours a move keeps its data.
TEST_F(Win32Toolkit, ADropNoViewTakesAnswersNoEffect) {
    Frame frame({0, 0, 120, 100}, host, nullptr, win32);
    auto* view = new ProbeView({0, 0, 120, 100});  // takes no drops
    frame.addView(view);
    pumpPending();
    EXPECT_EQ(dragOnto(childOf(frame), {30, 30}, CF_TEXT, globalText("keep me")), DWORD{DROPEFFECT_NONE});
    EXPECT_EQ(view->droppedType, platform::kDropText);  // it was offered
}

TEST_F(Win32Toolkit, ARefusedDropRegistrationReleasesItsTarget) {
    const int before = FileDropTarget::liveTargets();
    {
        Frame frame({0, 0, 20, 20}, host, nullptr, win32);
        EXPECT_EQ(FileDropTarget::liveTargets(), before + 1);
        win32.enableDrop(frame.getWindow(), true);  // registered already: refused
        EXPECT_EQ(FileDropTarget::liveTargets(), before + 1);
    }
    EXPECT_EQ(FileDropTarget::liveTargets(), before);
}

TEST_F(Win32Toolkit, SwappedButtonsMakeThePhysicalRightOneThePrimary) {
    using platform::kLeftButton;
    using platform::kRightButton;
    using platform::kShiftKey;
    EXPECT_EQ(Win32Platform::primaryButtonsOf(kLeftButton | kShiftKey, false), kLeftButton | kShiftKey);
    EXPECT_EQ(Win32Platform::primaryButtonsOf(kRightButton | kShiftKey, true), kLeftButton | kShiftKey);
    EXPECT_EQ(Win32Platform::primaryButtonsOf(kLeftButton, true), kRightButton);
    EXPECT_EQ(Win32Platform::primaryButtonsOf(kLeftButton | kRightButton, true), kLeftButton | kRightButton);
}

// A click whose release is already queued when the press is handled.
TEST_F(Win32Toolkit, APressAndReleaseDeliveredTogetherStillClick) {
    Frame frame({0, 0, 120, 100}, host, nullptr, win32);
    ListenerProbe listener;
    OnOffButton* button = switchUnderTheCursor(frame, listener, win32, childOf(frame));
    INPUT both[2] = {};
    both[0].type = both[1].type = INPUT_MOUSE;
    both[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    both[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, both, sizeof both[0]);
    Sleep(50);  // both are in the queue before the press is handled
    ASSERT_TRUE(pumpUntil([&] { return listener.calls == 1; }));
    EXPECT_EQ(button->getValue(), 1.0f);
}

// The wheel turns the knob under the cursor while another window has the focus.
TEST_F(Win32Toolkit, WheelOverAKnobTurnsItWithoutTheFocus) {
    Frame frame({0, 0, 120, 100}, host, nullptr, win32);
    ListenerProbe listener;
    auto* knob = new Knob({20, 20, 60, 60}, &listener, 4, nullptr, nullptr, {});
    knob->setValue(0.5f);
    frame.addView(knob);
    SetFocus(host);
    pumpPending();
    auto wheelAt = [&](Point where, int delta) {
        POINT screen{where.x, where.y};
        ClientToScreen(childOf(frame), &screen);
        SetCursorPos(screen.x, screen.y);
        INPUT turn{};
        turn.type = INPUT_MOUSE;
        turn.mi.dwFlags = MOUSEEVENTF_WHEEL;
        turn.mi.mouseData = static_cast<DWORD>(delta);
        SendInput(1, &turn, sizeof turn);
    };
    wheelAt({40, 40}, WHEEL_DELTA);
    ASSERT_TRUE(pumpUntil([&] { return listener.calls == 1; }));
    EXPECT_GT(knob->getValue(), 0.5f);
    const float turned = knob->getValue();
    wheelAt({100, 80}, -WHEEL_DELTA);  // over the frame, beside the knob: nothing turns
    wheelAt({200, 150}, -WHEEL_DELTA);  // over the host window, outside the editor
    // A last turn over the knob, handled after the two: once it has arrived, so have they.
    wheelAt({40, 40}, WHEEL_DELTA);
    ASSERT_TRUE(pumpUntil([&] { return listener.calls >= 2; }));
    pumpPending();
    EXPECT_EQ(listener.calls, 2);
    EXPECT_GT(knob->getValue(), turned);
}

// --- The same picture on both backends ----------------------------------------------------

namespace {

// Background, fills, outlines, straight lines and strip frames drawn opaquely
// and colour-keyed: everything but text and slanted lines.
void compose(DrawContext& c) {
    Bitmap* background = new Bitmap(c.getPlatform(), kBackgroundImage);
    Bitmap* strip = new Bitmap(c.getPlatform(), kStripImage);
    Bitmap* button = new Bitmap(c.getPlatform(), kSwitchImage);
    background->draw(&c, {0, 0, 64, 48});
    c.setFillColor(kYellow);
    c.fillRect({60, 10, 90, 40});
    c.setLineColor(kBlue);
    c.frameRect({60, 10, 90, 40});
    c.setLineColor(kRed);
    c.moveTo({5, 60});
    c.lineTo({95, 60});
    c.lineTo({95, 75});
    strip->draw(&c, {70, 45, 78, 57}, {0, 12});
    button->drawTransparent(&c, {20, 52, 41, 72}, {0, 20});
    button->drawTransparent(&c, {40, 30, 61, 50}, {0, 0});
    background->release();
    strip->release();
    button->release();
}

}  // namespace

TEST_F(Win32Toolkit, ComposedPictureIsTheSameOnBothBackends) {
    constexpr int kWidth = 100, kHeight = 80;
    OffscreenContext native(win32, kWidth, kHeight, kCyan);
    compose(native);
    HDC dc = reinterpret_cast<HDC>(native.getDevice());

    RasterPlatform raster;
    {
        OffscreenContext headless(raster, kWidth, kHeight, kCyan);
        compose(headless);
        const RasterImage& pixels = RasterPlatform::pixelsOf(headless.getDevice());
        int differences = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (pixelAt(dc, x, y) != pixels.pixel(x, y) && ++differences <= 5)
                    ADD_FAILURE() << "pixel " << x << "," << y;
        EXPECT_EQ(differences, 0);
    }
}

TEST_F(Win32Toolkit, TextIsDrawnInsideItsRectangle) {
    OffscreenContext context(win32, 100, 30, kWhite);
    context.setTextColor(kBlack);
    context.setFont(3);
    context.drawText("Halvern", {10, 5, 90, 25}, false, 0);
    HDC dc = reinterpret_cast<HDC>(context.getDevice());
    int ink = 0, outside = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x)
            if (pixelAt(dc, x, y) != kWhite) (x > 10 && x < 90 && y >= 5 && y < 25 ? ink : outside)++;
    EXPECT_GT(ink, 20);
    EXPECT_EQ(outside, 0);
}

TEST_F(Win32Toolkit, DropEffectIsCopyWithControlElseMoveAndNoneForOtherData) {
    struct NoEvents : platform::WindowEvents {
        void paint(platform::Device*) override {}
        void buttonDown(platform::Device*, Point, int) override {}
        void wheel(Point, float) override {}
        bool key(const platform::KeyPress&) override { return false; }
        void focusChanged(bool) override {}
        void destroyed() override {}
        bool drop(void**, int, int) override { return false; }
    } events;
    auto* target = new FileDropTarget(&events);
    target->AddRef();
    HGLOBAL text = globalText("x");
    TestData offer(CF_TEXT, text);
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(&offer, MK_LBUTTON, {0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    EXPECT_EQ(target->DragOver(MK_LBUTTON | MK_CONTROL, {0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    TestData bitmapOnly(CF_BITMAP, text);
    EXPECT_EQ(target->DragEnter(&bitmapOnly, MK_LBUTTON, {0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(target->Release(), 0u);
    GlobalFree(text);
}
