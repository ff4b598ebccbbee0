// The LV2 user interface loaded as a host loads it, embedded in an X11
// window of the test's, idled through its idle interface and played with
// real input: what it writes to the ports, and how it follows port events.
#include <gtest/gtest.h>
#include <dlfcn.h>
#include <lv2/ui/ui.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <string>

#include "EditorLayout.h"
#include "Lv2Ports.h"
#include "../x11/XDisplay.h"

namespace {

constexpr uint32_t kReturnKey = 0xff0d;

struct Write {
    uint32_t port;
    float value;
};

class Lv2Ui : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display.ready()) << "no X display (DISPLAY)";
        library = dlopen(HALVERN_LV2_BUNDLE "/halvern_ui.so", RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
        auto entry = reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(dlsym(library, "lv2ui_descriptor"));
        ASSERT_NE(entry, nullptr);
        descriptor = entry(0);
        ASSERT_NE(descriptor, nullptr);
        EXPECT_STREQ(descriptor->URI, kLv2UiUri);
        EXPECT_EQ(entry(1), nullptr);
        parent = display.hostWindow(300, 200, 246, 277);
        display.focus(parent);
        idleInterface = static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
        ASSERT_NE(idleInterface, nullptr);
        instantiate({});
    }
    // The user interface in the parent window, with the host's features and `more`.
    void instantiate(std::vector<const LV2_Feature*> more) {
        LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(static_cast<uintptr_t>(parent))};
        LV2_Feature resizeFeature{LV2_UI__resize, &resize};
        LV2_Feature touchFeature{LV2_UI__touch, &touch};
        std::vector<const LV2_Feature*> features = {&parentFeature, &resizeFeature, &touchFeature};
        features.insert(features.end(), more.begin(), more.end());
        features.push_back(nullptr);
        ui = descriptor->instantiate(descriptor, kLv2PluginUri, HALVERN_LV2_BUNDLE, writePort, this, &widget,
                                     features.data());
        ASSERT_NE(ui, nullptr);
        ASSERT_TRUE(idleUntil([&] { return display.viewable(editorWindow()); }));
    }
    void TearDown() override {
        if (ui) descriptor->cleanup(ui);
        if (library) dlclose(library);
    }

    static void writePort(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format,
                          const void* buffer) {
        auto* self = static_cast<Lv2Ui*>(controller);
        if (format != 0 || size != sizeof(float)) return;
        const float value = *static_cast<const float*>(buffer);
        self->writes.push_back({port, value});
        if (port == kPortFirstControl + kDistortion) self->distortion = value;
    }
    static int resized(LV2UI_Feature_Handle handle, int width, int height) {
        auto* self = static_cast<Lv2Ui*>(handle);
        self->size = {0, 0, width, height};
        self->resizes.push_back(self->size);
        return 0;
    }
    static void touched(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
        auto* self = static_cast<Lv2Ui*>(handle);
        self->touches.push_back({port, grabbed ? 1.0f : 0.0f});
        ++self->touchCount;
    }

    void idle() {
        EXPECT_EQ(idleInterface->idle(ui), 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    bool idleUntil(const std::function<bool()>& done) { return ::idleUntil([this] { idle(); }, done); }
    xcb_window_t editorWindow() const { return static_cast<xcb_window_t>(reinterpret_cast<uintptr_t>(widget)); }
    Point at(Point where) { return display.onScreen(editorWindow(), where); }
    bool wrote(uint32_t port) const {
        for (const Write& w : writes)
            if (w.port == port) return true;
        return false;
    }
    float lastWrite(uint32_t port) const {
        float value = -1.0f;
        for (const Write& w : writes)
            if (w.port == port) value = w.value;
        return value;
    }
    std::vector<uint32_t> area(Rect r) { return display.area(editorWindow(), r); }

    XDisplay display;
    void* library = nullptr;
    const LV2UI_Descriptor* descriptor = nullptr;
    const LV2UI_Idle_Interface* idleInterface = nullptr;
    LV2UI_Handle ui = nullptr;
    LV2UI_Widget widget = nullptr;
    xcb_window_t parent = 0;
    LV2UI_Resize resize{this, resized};
    LV2UI_Touch touch{this, touched};
    Rect size;
    std::vector<Rect> resizes;
    std::vector<Write> writes, touches;
    // What a drag's input thread watches while the drag loop runs on this one.
    std::atomic<int> touchCount{0};
    std::atomic<float> distortion{-1.0f};
};

}  // namespace

TEST_F(Lv2Ui, EmbedsTheEditorAtItsFixedSize) {
    EXPECT_EQ(size, (Rect{0, 0, 246, 277}));
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(display.xcb, xcb_query_tree(display.xcb, editorWindow()), nullptr);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->parent, parent);
    std::free(tree);
}

TEST_F(Lv2Ui, GesturesWriteTheControlsInTheirUnits) {
    // The switch: speed_toggle 1.
    display.click(at({60, 140}));
    ASSERT_TRUE(idleUntil([&] { return wrote(kPortFirstControl + kSpeedToggle); }));
    EXPECT_EQ(lastWrite(kPortFirstControl + kSpeedToggle), 1.0f);

    // A drag on DISTORTION, touched and released around its writes.
    {
        std::thread input = moveThenRelease(
            at({260, 60}), [&] { return touchCount > 0; }, [&] { return distortion > 60.0f; });
        display.moveTo(at({213, 74}));
        display.button(1, true);
        idleUntil([&] { return touches.size() == 2; });
        input.join();
    }
    ASSERT_EQ(touches.size(), 2u);
    EXPECT_EQ(touches[0].port, kPortFirstControl + kDistortion);
    EXPECT_EQ(touches[0].value, 1.0f);
    EXPECT_EQ(touches[1].value, 0.0f);
    EXPECT_GT(lastWrite(kPortFirstControl + kDistortion), 60.0f);
    EXPECT_EQ(lastWrite(kPortFirstControl + kDistortion), std::floor(lastWrite(kPortFirstControl + kDistortion)));

    // "30" typed into SLOW: the port gets 25, the most it takes.
    const Rect slowField{21, 106, 48, 118};
    const std::vector<uint32_t> closed = area(slowField);
    display.click(at({30, 110}));
    ASSERT_TRUE(idleUntil([&] { return area(slowField) != closed; }));  // the entry shows
    display.type("30");
    display.tap(kReturnKey);
    ASSERT_TRUE(idleUntil([&] { return wrote(kPortFirstControl + kSlowSpeed); }));
    EXPECT_EQ(lastWrite(kPortFirstControl + kSlowSpeed), 25.0f);
}

TEST_F(Lv2Ui, PortEventsRedrawTheKnobAndItsField) {
    const Rect knobAndField{191, 72, 235, 118};
    const std::vector<uint32_t> before = area(knobAndField);
    const float twenty = 20.0f;
    descriptor->port_event(ui, kPortFirstControl + kDistortion, sizeof(float), 0, &twenty);
    ASSERT_TRUE(idleUntil([&] { return area(knobAndField) != before; }));
    EXPECT_TRUE(writes.empty());  // following the plug-in writes nothing back

    // A MIDI switch the plug-in reports: the switch and lamps follow.
    const Rect lamps{27, 137, 101, 151};
    const std::vector<uint32_t> slow = area(lamps);
    const float fast = 1.0f;
    descriptor->port_event(ui, kPortSpeedState, sizeof(float), 0, &fast);
    ASSERT_TRUE(idleUntil([&] { return area(lamps) != slow; }));
    EXPECT_TRUE(writes.empty());
}

// The cabinet turns with the plug-in's rotor outputs.
TEST_F(Lv2Ui, RotorOutputsTurnTheCabinet) {
    const Rect cabinet{142, 171, 227, 266};
    const std::vector<uint32_t> still = area(cabinet);
    const float horn = 0.3f, drum = 0.55f;
    descriptor->port_event(ui, kPortHornPosition, sizeof(float), 0, &horn);
    descriptor->port_event(ui, kPortDrumPosition, sizeof(float), 0, &drum);
    ASSERT_TRUE(idleUntil([&] { return area(cabinet) != still; }));
    EXPECT_TRUE(writes.empty());
}

// A host that makes the window wider than the editor (its toolbar is wider,
// say) gets the area beyond the picture painted in the panel's colour, not
// left with whatever was on the screen; the picture stays as it was. The
// window also says its one size to hosts that read the size hints.
TEST_F(Lv2Ui, AWindowMadeLargerIsPaintedBeyondThePicture) {
    std::vector<uint32_t> picture;
    ASSERT_TRUE(idleUntil([&] {  // drawn: none of the host window's white left
        picture = area({0, 0, 246, 277});
        return picture.size() == 246u * 277u && std::count(picture.begin(), picture.end(), 0xFFFFFFu) == 0;
    }));
    xcb_get_property_reply_t* hints = xcb_get_property_reply(
        display.xcb, xcb_get_property(display.xcb, 0, editorWindow(), XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 0, 18),
        nullptr);
    ASSERT_NE(hints, nullptr);
    ASSERT_EQ(xcb_get_property_value_length(hints), 18 * 4);
    const auto* words = static_cast<const uint32_t*>(xcb_get_property_value(hints));
    EXPECT_EQ(std::vector<uint32_t>(words + 5, words + 9), (std::vector<uint32_t>{246, 277, 246, 277}));
    std::free(hints);

    // The host's window and the editor's in it, as an embedding toolkit widens both.
    const uint32_t size[] = {392, 300};
    for (const xcb_window_t w : {parent, editorWindow()})
        xcb_configure_window(display.xcb, w, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    display.sync();
    const uint32_t panel = (uint32_t{kPanelColour.red} << 16) | (uint32_t{kPanelColour.green} << 8) | kPanelColour.blue;
    auto beyondIsPanel = [&] {
        const std::vector<uint32_t> all = display.pixels(editorWindow(), 392, 300);
        if (all.size() != 392u * 300u) return false;
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 392; ++x)
                if ((x >= 246 || y >= 277) && all[static_cast<size_t>(y) * 392 + x] != panel) return false;
        return true;
    };
    EXPECT_TRUE(idleUntil(beyondIsPanel));
    EXPECT_TRUE(idleUntil([&] { return area({0, 0, 246, 277}) == picture; }));
}

// The host's ui:scaleFactor option sizes the editor, which the host is asked
// to make room for; a new factor through the options interface resizes the
// same window, whose controls answer at their new places.
TEST_F(Lv2Ui, TheHostsScaleFactorSizesTheEditor) {
    descriptor->cleanup(ui);
    ui = nullptr;
    parent = display.hostWindow(100, 100, 492, 554);
    std::vector<std::string> uris;
    LV2_URID_Map map{&uris, [](LV2_URID_Map_Handle handle, const char* uri) -> LV2_URID {
                         auto& known = *static_cast<std::vector<std::string>*>(handle);
                         const auto found = std::find(known.begin(), known.end(), uri);
                         if (found != known.end()) return static_cast<LV2_URID>(found - known.begin() + 1);
                         known.push_back(uri);
                         return static_cast<LV2_URID>(known.size());
                     }};
    const float twice = 2.0f, half = 1.5f;
    const LV2_Options_Option options[] = {
        {LV2_OPTIONS_INSTANCE, 0, map.map(map.handle, LV2_UI__updateRate), sizeof(float),
         map.map(map.handle, LV2_ATOM__Float), &half},
        {LV2_OPTIONS_INSTANCE, 0, map.map(map.handle, LV2_UI__scaleFactor), sizeof(float),
         map.map(map.handle, LV2_ATOM__Float), &twice},
        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr},
    };
    LV2_Feature mapFeature{LV2_URID__map, &map};
    LV2_Feature optionsFeature{LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options)};
    resizes.clear();
    instantiate({&mapFeature, &optionsFeature});
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(size, (Rect{0, 0, 492, 554}));
    EXPECT_EQ(display.size(editorWindow()), (Point{492, 554}));
    display.click(at({129, 286}));  // the switch at 200 %
    ASSERT_TRUE(idleUntil([&] { return lastWrite(kPortFirstControl + kSpeedToggle) == 1.0f; }));

    const auto* interface = static_cast<const LV2_Options_Interface*>(descriptor->extension_data(LV2_OPTIONS__interface));
    ASSERT_NE(interface, nullptr);
    const xcb_window_t before = editorWindow();
    const LV2_Options_Option smaller[] = {
        {LV2_OPTIONS_INSTANCE, 0, map.map(map.handle, LV2_UI__scaleFactor), sizeof(float),
         map.map(map.handle, LV2_ATOM__Float), &half},
        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr},
    };
    EXPECT_EQ(interface->set(ui, smaller), static_cast<uint32_t>(LV2_OPTIONS_SUCCESS));
    EXPECT_EQ(resizes.back(), (Rect{0, 0, 369, 416}));
    ASSERT_TRUE(idleUntil([&] { return display.size(editorWindow()) == Point{369, 416}; }));
    EXPECT_EQ(editorWindow(), before);  // the widget the host holds stays valid
    display.click(at({97, 214}));  // the switch at 150 %
    ASSERT_TRUE(idleUntil([&] { return lastWrite(kPortFirstControl + kSpeedToggle) == 0.0f; }));
    // Options the editor does not take are refused.
    EXPECT_EQ(interface->set(ui, options), static_cast<uint32_t>(LV2_OPTIONS_SUCCESS));
    const LV2_Options_Option none[] = {{LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
    EXPECT_EQ(interface->set(ui, none), static_cast<uint32_t>(LV2_OPTIONS_ERR_BAD_KEY));
}

// The rear panel writes the extended cabinet's control ports (numbered after
// the first ones), and follows theirs: the brake clicked on, and the drum's
// DOWN time shown as the host reports it.
TEST_F(Lv2Ui, TheRearPanelWritesTheCabinetsPorts) {
    const Rect flip{205, 14, 235, 28};
    const std::vector<uint32_t> front = area(flip);
    display.click(at({220, 21}));
    ASSERT_TRUE(idleUntil([&] { return area(flip) != front; }));
    display.click(at({168, 210}));  // the brake's switch
    const uint32_t brakePort = lv2ports::portOf(kBrake);
    ASSERT_TRUE(idleUntil([&] { return wrote(brakePort); }));
    EXPECT_EQ(lastWrite(brakePort), 1.0f);
    EXPECT_GT(brakePort, static_cast<uint32_t>(kPortDrumPosition));

    const Rect downField{154, 172, 181, 184};
    const std::vector<uint32_t> before = area(downField);
    const float seconds = 12.5f;
    descriptor->port_event(ui, lv2ports::portOf(kDrumDown), sizeof(float), 0, &seconds);
    ASSERT_TRUE(idleUntil([&] { return area(downField) != before; }));
}
