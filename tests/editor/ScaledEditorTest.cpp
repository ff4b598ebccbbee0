// The editor at each of its sizes on the headless backend: what it shows
// against the generator's images, where its controls answer clicks, where
// its size comes from, and how it asks the host for a new window size.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "Frame.h"
#include "PanelPicture.h"
#include "RasterPlatform.h"
#include "RecordingHost.h"
#include "SpeakerDescriptor.h"
#include "SpeakerEditor.h"
#include "SpeakerPlugin.h"
#include "VstEditor.h"

namespace {

constexpr int L = platform::kLeftButton;

void setEnvironment(const char* name, const std::string& value) {
#if defined(_WIN32)
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

// A VST 2 effect with its editor, drawing on the raster backend, with the
// user's settings in a folder of its own.
class ScaledEditor : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        configFolder = std::filesystem::temp_directory_path() /
                       (std::string("halvern-config-") + test->name());
        std::filesystem::remove_all(configFolder);
        setEnvironment("XDG_CONFIG_HOME", configFolder.string());
        setEnvironment("APPDATA", configFolder.string());
        host.answer = 1;  // the host resizes when asked
    }
    void TearDown() override {
        delete effect;  // with its editor, before the platform it draws through
        std::filesystem::remove_all(configFolder);
    }
    void make() {
        effect = new SpeakerPlugin(RecordingHost::callback, false);
        vst = new VstEditor(effect, &raster);
        editor = &vst->speakerEditor();
    }
    void openAt(double factor) {
        make();
        editor->setHostScale(factor);
        ASSERT_EQ(editor->open(&parentToken), 1);
        raster.setWindowOrigin(window(), {100, 100});
        raster.paintNow(window());
        editor->idle();
        editor->idle();
    }
    platform::Window* window() { return editor->getFrame()->getWindow(); }
    std::filesystem::path settingsFile() const { return configFolder / "Halvern" / "editor.conf"; }
    void press(Point where, int buttons = L) {
        raster.setMouseButtons(buttons);
        raster.setCursor(where + Point{100, 100});
        raster.press(window(), where);
        raster.setMouseButtons(0);
    }
    std::vector<HostCall> resizes() { return host.callsOf(audioMasterSizeWindow); }

    std::filesystem::path configFolder;
    RasterPlatform raster;
    RecordingHost host;
    SpeakerPlugin* effect = nullptr;
    VstEditor* vst = nullptr;
    SpeakerEditor* editor = nullptr;
    int parentToken = 0;
};

Point centre(Rect r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

}  // namespace

// At every size the window shows the generator's images at that size: the
// panel, each knob's frame for its value, the switch, the LEDs and the
// cabinet's picture with its layers, everywhere but the text of the value
// fields and the menu.
TEST_F(ScaledEditor, EverySizeShowsTheImagesDrawnForIt) {
    for (int index = 0; index < kEditorScaleCount; ++index) {
        SCOPED_TRACE(kEditorScales[index]);
        delete effect;
        effect = nullptr;
        const EditorScale scale{kEditorScales[index]};
        openAt(scale.factor());
        ASSERT_EQ(editor->getScale().percent, scale.percent);
        const Rect bounds = editorRect(scale);
        ASSERT_EQ(editor->getFrame()->getBounds(), bounds);
        ERect* reported = nullptr;
        vst->getRect(&reported);
        EXPECT_EQ(reported->right, bounds.width());
        EXPECT_EQ(reported->bottom, bounds.height());

        PanelPicture expected(kBackgroundBitmap, scale);
        ASSERT_EQ(expected.image.width(), bounds.width());
        for (const KnobPlace& knob : kKnobPlaces) expected.placeKnob(knob, effect->getParameter(knob.parameter));
        expected.place(kSwitchBitmap, switchRect(scale), 0);
        expected.place(kLedBitmap, ledRect(0, scale), 1);
        expected.place(kLedBitmap, ledRect(1, scale), 0);
        const Rect cabinet = cabinetRect(scale);
        expected.place(kCabinetBitmap, cabinet, 0);
        for (const CabinetLayerPlace& layer : kCabinetLayers) {
            const Point corner = scale.point({layer.x, layer.y});
            const ImageStrip strip = scale.strip(editorImage(layer.bitmap));
            const int frame = editor->getCabinetView()->currentFrame(static_cast<int>(&layer - kCabinetLayers));
            expected.place(layer.bitmap,
                           {cabinet.left + corner.x, cabinet.top + corner.y, cabinet.left + corner.x + strip.width,
                            cabinet.top + corner.y + strip.frameHeight},
                           frame);
        }
        const auto hasText = [&](Point p) {
            for (const KnobPlace& knob : kKnobPlaces)
                if (valueFieldRect(knob, scale).containsInclusive(p)) return true;
            return menuRect(scale).containsInclusive(p);
        };
        EXPECT_EQ(expected.differences(raster.pixels(window()), hasText), 0);
    }
}

// At 150 % and 200 % a click reaches the same control as at 100 %, at the
// scaled place: the switch, a knob's drag, a value field (whose edit box
// and text are scaled too) and the menu.
TEST_F(ScaledEditor, ClicksReachTheSameControlsAtLargerSizes) {
    for (double factor : {1.5, 2.0}) {
        SCOPED_TRACE(factor);
        delete effect;
        effect = nullptr;
        host.calls.clear();
        openAt(factor);
        const EditorScale scale = editor->getScale();
        ASSERT_EQ(scale.factor(), factor);

        press(centre(switchRect(scale)));
        EXPECT_EQ(effect->getParameter(kSpeedToggle), 1.0f);
        // Just outside the switch, on the panel: nothing.
        press({switchRect(scale).right + 2, centre(switchRect(scale)).y});
        EXPECT_EQ(effect->getParameter(kSpeedToggle), 1.0f);

        // The DISTORTION knob, pressed at the top of its travel.
        const KnobPlace& distortion = kKnobPlaces[2];
        const Rect knob = knobRect(distortion, scale);
        const Point top{knob.left + scale.length(kKnobCentreOffset.x + 1), knob.top + scale.length(2)};
        raster.queueInput({{L, top + Point{100, 100}}, {L, top + Point{100, 100}}, {0, top + Point{100, 100}}});
        raster.press(window(), top);
        EXPECT_NEAR(effect->getParameter(kDistortion), 0.5f, 0.02f);

        press(centre(valueFieldRect(kKnobPlaces[0], scale)));
        ASSERT_NE(raster.editBox(), nullptr);
        EXPECT_EQ(raster.editBox()->bounds, valueFieldRect(kKnobPlaces[0], scale));
        EXPECT_EQ(raster.editBox()->font.pixelSize, scale.length(kFontTable[kValueFont].defaultSize));
        raster.typeInEditBox("-25");
        raster.pressEnterInEditBox();
        EXPECT_EQ(effect->getParameter(kSlowSpeed), 0.0f);

        raster.chooseNextMenuItem(3);
        press(centre(menuRect(scale)));
        EXPECT_FLOAT_EQ(effect->getParameter(kSpeedKey), 0.6f);
    }
}

// The size comes from the user's choice first, then the host's factor,
// then the system's; any factor from 1 to 3 is taken to the whole percent.
TEST_F(ScaledEditor, TheSizeFollowsTheUserTheHostAndTheSystem) {
    raster.setDisplayScale(2.0);
    make();
    EXPECT_EQ(editor->getScale().percent, 200);
    EXPECT_EQ(editor->getRect(), editorRect(EditorScale{200}));
    editor->setHostScale(1.3);
    EXPECT_EQ(editor->getScale().percent, 130);
    editor->setHostScale(1.747);
    EXPECT_EQ(editor->getScale().percent, 175);
    editor->setHostScale(9.0);
    EXPECT_EQ(editor->getScale().percent, 300);
    editor->setHostScale(0.5);
    EXPECT_EQ(editor->getScale().percent, 100);
    editor->setHostScale(0.0);  // none: the system's again
    EXPECT_EQ(editor->getScale().percent, 200);
    editor->chooseScale(125);
    EXPECT_EQ(editor->getScale().percent, 125);
    editor->setHostScale(3.0);
    EXPECT_EQ(editor->getScale().percent, 125);

    // The choice is remembered for the next editor, and for the user only.
    delete effect;
    make();
    EXPECT_EQ(editor->getScale().percent, 125);
    std::ifstream file(settingsFile());
    std::string line;
    std::getline(file, line);
    EXPECT_EQ(line, "scale=125");
}

// A settings file that says nothing the editor can use is no choice.
TEST_F(ScaledEditor, AnUnusableSettingsFileIsNoChoice) {
    std::filesystem::create_directories(settingsFile().parent_path());
    for (const char* content : {"scale=175\n", "scale=2000000000000\n", "scale=\n", "size=200\n", "scale=200x\n",
                                "\x01\x02garbage"}) {
        SCOPED_TRACE(content);
        std::ofstream(settingsFile(), std::ios::binary) << content;
        delete effect;
        make();
        EXPECT_EQ(editor->getScale().percent, 100);
    }
    std::ofstream(settingsFile()) << "# chosen from the menu\nscale=300\r\n";
    delete effect;
    make();
    EXPECT_EQ(editor->getScale().percent, 300);
}

// A right-click on the panel offers the sizes, the current choice checked;
// choosing one asks the host to resize, and the same window shows the
// controls at the new size from the next idle.
TEST_F(ScaledEditor, TheRightClickMenuResizesTheWindow) {
    openAt(0.0);
    press({5, 60}, platform::kRightButton);
    const auto& shown = raster.lastShownMenu();
    ASSERT_EQ(shown.items.size(), 2u + kEditorScaleCount);
    EXPECT_EQ(shown.items[0].label, "Automatic size");
    EXPECT_TRUE(shown.items[0].flags & platform::kMenuChecked);
    EXPECT_EQ(shown.items[2].label, "100 %");
    EXPECT_EQ(shown.items.back().label, "300 %");
    EXPECT_EQ(shown.screen, (Point{105, 160}));
    EXPECT_TRUE(resizes().empty());

    platform::Window* before = window();
    raster.chooseNextMenuItem(200);
    press({5, 60}, platform::kRightButton);
    editor->idle();
    ASSERT_EQ(resizes().size(), 1u);
    EXPECT_EQ(resizes()[0].index, 492);
    EXPECT_EQ(static_cast<int>(resizes()[0].value), 554);
    ASSERT_TRUE(editor->isOpen());
    EXPECT_EQ(editor->getScale().percent, 200);
    EXPECT_EQ(editor->getFrame()->getBounds(), (Rect{0, 0, 492, 554}));
    EXPECT_EQ(window(), before);
    EXPECT_EQ(raster.windowCount(), 1);
    EXPECT_EQ(raster.pixels(window()).width(), 492);
    raster.paintNow(window());
    press({5, 120}, platform::kRightButton);
    EXPECT_TRUE(raster.lastShownMenu().items[5].flags & platform::kMenuChecked);  // 200 %

    // A left click on the panel shows no menu; one on a control is the control's.
    raster.chooseNextMenuItem(300);
    press({5, 120});
    press(centre(switchRect(editor->getScale())), platform::kRightButton);
    EXPECT_EQ(editor->getScale().percent, 200);
    EXPECT_EQ(resizes().size(), 1u);
}

// A host that cannot resize keeps the window as it is; the choice is kept
// for the next time the editor opens.
TEST_F(ScaledEditor, AHostThatCannotResizeKeepsTheWindow) {
    host.answer = 0;
    openAt(0.0);
    raster.chooseNextMenuItem(150);
    press({5, 60}, platform::kRightButton);
    EXPECT_EQ(resizes().size(), 1u);
    EXPECT_EQ(editor->getScale().percent, 100);
    EXPECT_EQ(editor->getFrame()->getBounds(), editorRect());
    // Nor is it asked again and again while that size stays the one wanted.
    raster.setTicks(raster.ticks() + 2000);
    editor->idle();
    EXPECT_EQ(resizes().size(), 1u);
    editor->close();
    EXPECT_EQ(editor->getScale().percent, 150);  // what the host reads before opening it again
    ASSERT_EQ(editor->open(&parentToken), 1);
    EXPECT_EQ(editor->getFrame()->getBounds(), editorRect(EditorScale{150}));
}

// An open editor that follows the system notices a new factor (the window
// went to another monitor) within a second and asks for the new size.
TEST_F(ScaledEditor, AnOpenEditorFollowsTheSystemsFactor) {
    openAt(0.0);
    raster.setDisplayScale(1.5);
    editor->idle();
    EXPECT_EQ(editor->getScale().percent, 100);
    raster.setTicks(raster.ticks() + 1000);
    editor->idle();
    EXPECT_EQ(editor->getScale().percent, 150);
    ASSERT_EQ(resizes().size(), 1u);
    EXPECT_EQ(resizes()[0].index, editorRect(EditorScale{150}).width());
    // A factor the host gives is not second-guessed.
    editor->setHostScale(1.0);
    raster.setTicks(raster.ticks() + 1000);
    editor->idle();
    EXPECT_EQ(editor->getScale().percent, 100);
}

// At 100 % the VST 2 editor shows exactly what it showed before it could
// scale: the reference is the window of the last build before then, with
// distortion at 80, the speed fast and the rotors at 0.3 and 0.7 turns.
// (The Windows build's headless backend draws no text, so there the fields
// differ by design; the Win32 backend's text is the system's.)
TEST_F(ScaledEditor, AtItsOwnSizeTheFrontPanelIsUnchangedPixelForPixel) {
#if defined(_WIN32)
    GTEST_SKIP() << "no text on the Windows build's headless backend";
#endif
    std::ifstream file(HALVERN_FRONT_REFERENCE, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    RasterImage reference;
    ASSERT_TRUE(reference.decodeBmp(bytes.data(), bytes.size())) << HALVERN_FRONT_REFERENCE;
    make();
    effect->setParameter(kDistortion, 0.8f);
    effect->setParameter(kSpeedToggle, 1.0f);
    vst->setRotorPositions(0.3f, 0.7f);
    ASSERT_EQ(editor->open(&parentToken), 1);
    raster.paintNow(window());
    editor->idle();
    editor->idle();
    const RasterImage& shown = raster.pixels(window());
    ASSERT_EQ(shown.width(), reference.width());
    ASSERT_EQ(shown.height(), reference.height());
    int differences = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) != reference.pixel(x, y) && ++differences <= 3) ADD_FAILURE() << "pixel " << x << "," << y;
    EXPECT_EQ(differences, 0);
}

// A size between the drawn ones takes the next larger set, shrunk: at 175 %
// the window and every control have their 175 % places and sizes, the
// images are the 200 % ones shrunk to them, and clicks reach the controls.
TEST_F(ScaledEditor, ASizeBetweenTheDrawnOnesShrinksTheNextLargerSet) {
    openAt(1.75);
    const EditorScale scale = editor->getScale();
    ASSERT_EQ(scale.percent, 175);
    EXPECT_EQ(scale.imageId(kBackgroundBitmap), kBackgroundBitmap + 3 * kScaleIdStride);  // the 200 % set
    EXPECT_EQ(editor->getFrame()->getBounds(), (Rect{0, 0, 431, 485}));
    for (int i = 0; i < kKnobCount; ++i) {
        const Rect knob = knobRect(kKnobPlaces[i], scale);
        EXPECT_EQ(editor->getKnob(i)->getBounds(), knob);
        Bitmap* strip = editor->getKnob(i)->getBackground();
        ASSERT_TRUE(strip->isLoaded());
        EXPECT_EQ(strip->getWidth(), knob.width());
        EXPECT_EQ(strip->getHeight(), knob.height() * 37);
    }
    // The panel's dark band under the title, shrunk from the 200 % picture,
    // is the same dark as drawn.
    const RasterImage drawn = embeddedImage(kBackgroundBitmap + 3 * kScaleIdStride);
    EXPECT_EQ(raster.pixels(window()).pixel(30, 20), drawn.pixel(34, 23));

    press({(switchRect(scale).left + switchRect(scale).right) / 2, (switchRect(scale).top + switchRect(scale).bottom) / 2});
    EXPECT_EQ(effect->getParameter(kSpeedToggle), 1.0f);
}
