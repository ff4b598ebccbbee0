// The render tool run as a user runs it: a command line, files in a folder,
// an exit status and what it prints.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int status;
    std::string said;  // stdout and stderr
};

class RenderTool : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("halvern-render-test-" + std::to_string(::getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    ToolRun render(const std::string& arguments) { return renderWith(HALVERN_PLUGIN, arguments); }
    ToolRun renderWith(const std::string& plugin, const std::string& arguments) {
        const std::string command =
            "cd '" + folder.string() + "' && '" HALVERN_RENDER "' --plugin '" + plugin + "' " + arguments + " 2>&1";
        ToolRun run{-1, ""};
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return run;
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe)) run.said += buffer;
        const int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return run;
    }

    // A sine at `level` (1 is full scale), `seconds` long, in the given format.
    std::string writeInput(const std::string& name, int format, int channels = 2, double seconds = 1.0,
                           double level = 0.5) {
        SF_INFO info{};
        info.samplerate = 44100;
        info.channels = channels;
        info.format = SF_FORMAT_WAV | format;
        const std::string path = (folder / name).string();
        SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
        EXPECT_NE(file, nullptr) << sf_strerror(nullptr);
        const int frames = static_cast<int>(seconds * 44100);
        std::vector<float> samples(static_cast<size_t>(frames * channels));
        for (int i = 0; i < frames; ++i)
            for (int c = 0; c < channels; ++c)
                samples[static_cast<size_t>(i * channels + c)] = static_cast<float>(level * std::sin(i * 0.05 + c));
        sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
        sf_writef_float(file, samples.data(), frames);
        sf_close(file);
        return path;
    }

    // The subtype and channels of a file, or -1 when it cannot be read.
    static int subtypeOf(const fs::path& path, int* channels = nullptr) {
        SF_INFO info{};
        SNDFILE* file = sf_open(path.string().c_str(), SFM_READ, &info);
        if (!file) return -1;
        sf_close(file);
        if (channels) *channels = info.channels;
        return info.format & SF_FORMAT_SUBMASK;
    }

    // A file's samples, interleaved; none when it cannot be read. (Float
    // files carry the time they were written in their peak chunk, so two
    // renders of the same sound differ there.)
    static std::vector<float> samplesOf(const fs::path& path) {
        SF_INFO info{};
        SNDFILE* file = sf_open(path.string().c_str(), SFM_READ, &info);
        if (!file) return {};
        std::vector<float> samples(static_cast<size_t>(info.frames * info.channels));
        samples.resize(static_cast<size_t>(sf_read_float(file, samples.data(), static_cast<sf_count_t>(samples.size()))));
        sf_close(file);
        return samples;
    }

    static std::string contents(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }

    fs::path folder;
};

}  // namespace

TEST_F(RenderTool, OneNameIsTheInputAndTheDemoIsAskedFor) {
    writeInput("song.wav", SF_FORMAT_PCM_16);
    const std::string before = contents(folder / "song.wav");
    const ToolRun run = render("song.wav");
    ASSERT_EQ(run.status, 0) << run.said;
    EXPECT_EQ(contents(folder / "song.wav"), before);  // the input is untouched
    int channels = 0;
    EXPECT_EQ(subtypeOf(folder / "song-halvern.wav", &channels), SF_FORMAT_PCM_24);
    EXPECT_EQ(channels, 2);

    const ToolRun demo = render("--demo chord.wav --seconds 0.5");
    ASSERT_EQ(demo.status, 0) << demo.said;
    EXPECT_EQ(subtypeOf(folder / "chord.wav"), SF_FORMAT_PCM_24);
    EXPECT_NE(render("").said.find("give an input file"), std::string::npos);
}

// Options and file names mix in any order; a repeated option takes one
// value each time, and every order renders the same file.
TEST_F(RenderTool, OptionsGoBeforeBetweenOrAfterTheFileNames) {
    writeInput("song.wav", SF_FORMAT_PCM_16);
    ASSERT_EQ(render("song.wav plain.wav").status, 0);
    const char* orders[][2] = {
        {"--set distortion=80 --set balance=20 --fast-at 0.2 song.wav before.wav", "before.wav"},
        {"song.wav --set distortion=80 between.wav --fast-at 0.2 --set balance=20", "between.wav"},
        {"song.wav after.wav --set distortion=80 --set balance=20 --fast-at 0.2", "after.wav"},
        {"--set=distortion=80 song.wav --fast-at=0.2 joined.wav --set=balance=20", "joined.wav"},
    };
    for (const auto& [arguments, output] : orders) {
        const ToolRun run = render(arguments);
        ASSERT_EQ(run.status, 0) << arguments << "\n" << run.said;
        EXPECT_NE(run.said.find("distortion    80"), std::string::npos) << arguments << "\n" << run.said;
        EXPECT_NE(run.said.find("balance       20"), std::string::npos) << arguments << "\n" << run.said;
        EXPECT_EQ(contents(folder / output), contents(folder / "before.wav")) << arguments;
    }
    EXPECT_NE(contents(folder / "before.wav"), contents(folder / "plain.wav"));
}

TEST_F(RenderTool, WritesOverNothingWithoutForceAndNeverOverTheInput) {
    writeInput("song.wav", SF_FORMAT_PCM_16);
    writeInput("taken.wav", SF_FORMAT_PCM_16);
    const std::string taken = contents(folder / "taken.wav");
    ToolRun run = render("song.wav taken.wav");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.said.find("exists; give --force"), std::string::npos) << run.said;
    EXPECT_EQ(contents(folder / "taken.wav"), taken);
    EXPECT_EQ(render("song.wav taken.wav --force").status, 0);
    EXPECT_NE(contents(folder / "taken.wav"), taken);

    const std::string song = contents(folder / "song.wav");
    for (const char* same : {"song.wav song.wav --force", "song.wav ./song.wav --force"}) {
        run = render(same);
        EXPECT_EQ(run.status, 2) << same;
        EXPECT_NE(run.said.find("is the input"), std::string::npos) << run.said;
    }
    EXPECT_EQ(contents(folder / "song.wav"), song);
}

TEST_F(RenderTool, BadValuesAreRefusedWithAOneLineReason) {
    writeInput("song.wav", SF_FORMAT_PCM_16);
    const struct {
        const char* arguments;
        const char* reason;
    } cases[] = {
        {"--demo out.wav --seconds -1", "--seconds must be more than 0"},
        {"--demo out.wav --seconds 0", "--seconds must be more than 0"},
        {"--demo out.wav --seconds 3601", "at most 3600"},
        {"--demo out.wav --seconds abc", "--seconds"},
        {"song.wav out.wav --block 0", "--block must be from 1 to 65536"},
        {"song.wav out.wav --block 65537", "--block must be from 1 to 65536"},
        {"song.wav out.wav --block 12x", "--block"},
        {"song.wav out.wav --set distortion=150", "distortion must be from 0 to 100 in steps of 1, not 150"},
        {"song.wav out.wav --set distortion=12.5", "in steps of 1, not 12.5"},
        {"song.wav out.wav --set distortion=loud", "distortion must be a number from 0 to 100"},
        {"song.wav out.wav --set balance=-51", "balance must be from -50 to 50"},
        {"song.wav out.wav --set speedkey=CTRL2", "speedkey must be one of SPACE, TAB, CTRL1, CTRL64, CTRL66, CTRL67"},
        {"song.wav out.wav --set volume=3", "the parameters are speed-toggle, slow, fast, acceleration"},
        {"song.wav out.wav --set distortion", "--set wants NAME=VALUE"},
        {"song.wav out.wav --norm balance=1.5", "--norm balance must be a number from 0 to 1"},
        {"song.wav out.wav --norm balance=x", "--norm balance must be a number from 0 to 1"},
        {"song.wav out.wav --fast-at 2", "outside the 1.000 s of audio"},
        {"song.wav out.wav --slow-at -0.5", "outside"},
        {"song.wav out.wav --fast-at soon", "--fast-at"},
        {"song.wav out.wav --format 32", "--format"},
        {"song.wav out.wav --seconds 5", "--seconds sets the length of the demo only"},
        {"a.wav b.wav c.wav", "At Most 2"},
        {"--demo out.wav song.wav", "--demo renders no input file"},
    };
    for (const auto& c : cases) {
        const ToolRun run = render(c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments << "\n" << run.said;
        EXPECT_NE(run.said.find(c.reason), std::string::npos) << c.arguments << "\n" << run.said;
        EXPECT_EQ(std::count(run.said.begin(), run.said.end(), '\n'), 1) << c.arguments << "\n" << run.said;
        EXPECT_FALSE(fs::exists(folder / "out.wav")) << c.arguments;
    }
}

TEST_F(RenderTool, OutputKeepsTheInputsKindOfSamples) {
    writeInput("float.wav", SF_FORMAT_FLOAT);
    writeInput("pcm.wav", SF_FORMAT_PCM_16);
    writeInput("mono.wav", SF_FORMAT_PCM_24, 1);
    EXPECT_EQ(render("float.wav").status, 0);
    EXPECT_EQ(subtypeOf(folder / "float-halvern.wav"), SF_FORMAT_FLOAT);
    EXPECT_EQ(render("pcm.wav").status, 0);
    EXPECT_EQ(subtypeOf(folder / "pcm-halvern.wav"), SF_FORMAT_PCM_24);
    EXPECT_EQ(render("pcm.wav pcm16.wav --format 16").status, 0);
    EXPECT_EQ(subtypeOf(folder / "pcm16.wav"), SF_FORMAT_PCM_16);
    EXPECT_EQ(render("float.wav floatpcm.wav --format 24").status, 0);
    EXPECT_EQ(subtypeOf(folder / "floatpcm.wav"), SF_FORMAT_PCM_24);
    int channels = 0;
    EXPECT_EQ(render("mono.wav").status, 0);
    EXPECT_EQ(subtypeOf(folder / "mono-halvern.wav", &channels), SF_FORMAT_PCM_24);
    EXPECT_EQ(channels, 2);
}

TEST_F(RenderTool, PeaksBeyondFullScaleAreReported) {
    writeInput("loud.wav", SF_FORMAT_FLOAT, 2, 1.0, 4.0);
    ToolRun run = render("loud.wav clipped.wav --format 24");
    ASSERT_EQ(run.status, 0) << run.said;
    EXPECT_NE(run.said.find("dBFS"), std::string::npos) << run.said;
    EXPECT_NE(run.said.find("samples were clipped"), std::string::npos) << run.said;
    run = render("loud.wav kept.wav");
    ASSERT_EQ(run.status, 0) << run.said;
    EXPECT_NE(run.said.find("dBFS (kept in the float file)"), std::string::npos) << run.said;

    writeInput("quiet.wav", SF_FORMAT_PCM_16, 2, 1.0, 0.1);
    run = render("quiet.wav");
    EXPECT_EQ(run.said.find("dBFS"), std::string::npos) << run.said;
}

TEST_F(RenderTool, FilesOfMoreThanTwoChannelsAreRefused) {
    writeInput("surround.wav", SF_FORMAT_PCM_16, 3);
    const ToolRun run = render("surround.wav");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.said.find("has 3 channels"), std::string::npos) << run.said;
    EXPECT_FALSE(fs::exists(folder / "surround-halvern.wav"));
}

// A file's header is not trusted: the tool reads what the file holds.
// Files whose headers claim more frames than they hold, or "length
// unknown", are refused when they hold no audio and rendered for what
// they hold otherwise.
TEST_F(RenderTool, AHeaderThatLiesAboutTheLengthIsNotBelieved) {
    for (const auto& entry : fs::directory_iterator(HALVERN_AUDIO_REGRESSIONS)) {
        const ToolRun run = render("--force '" + entry.path().string() + "' out.wav");
        EXPECT_EQ(run.status, 2) << entry.path() << "\n" << run.said;
        EXPECT_NE(run.said.find("holds no audio"), std::string::npos) << entry.path() << "\n" << run.said;
        EXPECT_FALSE(fs::exists(folder / "out.wav")) << entry.path();
    }
    writeInput("empty.wav", SF_FORMAT_PCM_16, 2, 0.0);
    EXPECT_NE(render("empty.wav").said.find("holds no audio"), std::string::npos);

    // Cut in the middle of its data: the half that is there is rendered.
    writeInput("cut.wav", SF_FORMAT_PCM_16, 2, 1.0);
    fs::resize_file(folder / "cut.wav", 44 + 44100 * 4 / 2);
    const ToolRun cut = render("cut.wav");
    ASSERT_EQ(cut.status, 0) << cut.said;
    SF_INFO info{};
    SNDFILE* file = sf_open((folder / "cut-halvern.wav").string().c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    sf_close(file);
    EXPECT_EQ(info.frames, 44100 / 2);
}

TEST_F(RenderTool, HelpAndVersionAnswerAndSucceed) {
    const ToolRun help = render("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.said.find("--demo"), std::string::npos);
    const ToolRun version = render("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.said.find("halvern-render 1."), std::string::npos) << version.said;
}

// The CLAP plug-in renders what the VST 2 library renders, and has the
// extended cabinet's parameters, which the VST 2 build refuses by name.
TEST_F(RenderTool, RendersThroughTheClapPluginAlikeWithItsExtendedParameters) {
    const std::string common = " --seconds 3 --format float --set distortion=80 --fast-at 0.5 --slow-at 2";
    ASSERT_EQ(render("--demo vst.wav" + common).status, 0);
    const ToolRun clap = renderWith(HALVERN_CLAP, "--demo clap.wav" + common);
    ASSERT_EQ(clap.status, 0) << clap.said;
    const std::vector<float> vst = samplesOf(folder / "vst.wav");
    EXPECT_EQ(vst.size(), 3u * 44100 * 2);
    EXPECT_EQ(vst, samplesOf(folder / "clap.wav"));

    const ToolRun refused = render("--demo x.wav --seconds 1 --set brake=on");
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.said.find("the VST 2 plug-in has no parameter brake"), std::string::npos) << refused.said;
    EXPECT_FALSE(fs::exists(folder / "x.wav"));

    const ToolRun braked = renderWith(HALVERN_CLAP, "--demo braked.wav" + common + " --set brake=on --set horn-rest=90");
    ASSERT_EQ(braked.status, 0) << braked.said;
    EXPECT_NE(braked.said.find("brake         on"), std::string::npos) << braked.said;
    EXPECT_NE(braked.said.find("horn rest     90 deg"), std::string::npos) << braked.said;
    EXPECT_NE(samplesOf(folder / "braked.wav"), samplesOf(folder / "clap.wav"));

    const ToolRun badRamp = renderWith(HALVERN_CLAP, "--demo y.wav --set horn-up=0.05");
    EXPECT_EQ(badRamp.status, 2);
    EXPECT_NE(badRamp.said.find("horn-up must be from 0.1 to 20 in steps of 0.01, not 0.05"), std::string::npos)
        << badRamp.said;
}
