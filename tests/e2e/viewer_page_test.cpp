// What only the page in a browser has: the name a screen reader hears, the
// words that say what to do, in the reader's language, the browser's own
// keys, taps, a phone's narrow screen, a dense screen, a WebGL context the
// browser takes away, a browser without WebGL, where the page draws in
// software, or without JavaScript, and a frame in a host page; and, served
// over http as a web app, its installing, its working offline and its
// updates. In every check the launcher writes out whatever the page logs or
// throws and every request it makes beyond its own file or origin, which the
// fixture expects to be nothing.
#include "viewer_fixture.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <ostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

// Long enough for a click to have been handled, had it been taken.
const Timeout GRACE = std::chrono::seconds(1);
// A phone's screen, in CSS pixels, less the browser's bars, and a dense
// screen's device pixels to one.
const int PHONE_WIDTH = 360;
const int PHONE_HEIGHT = 560;
const int DENSITY = 2;
// A window with room for three lines of words below the picture.
const int TALL_WINDOW_HEIGHT = 560;

// The page in a browser, and what its launcher reports of it.
class ViewerInABrowser : public ViewerOnScreen {
protected:
    void SetUp() override
    {
        if (const char* why = cannot(Ability::RunInABrowser)) {
            GTEST_SKIP() << why;
        }
    }

    // Opens the page with these options of the launcher's, and waits for its window.
    void startPage(std::vector<std::string> options = {})
    {
        options.push_back("--report=" + report.path());
        startViewer(options);
    }

    // Opens the page with these options of the launcher's, without waiting
    // for a window, which a page that does not run never titles.
    void openPageUnseen(std::vector<std::string> options)
    {
        options.push_back("--report=" + report.path());
        const ViewerCommand command = viewerCommand(options);
        launchViewer(command.program, command.argv);
    }

    // Has the launcher do what its signal was set to do, and waits until it
    // is done; skips where the browser cannot do it.
    void signalLauncher(const std::string& action)
    {
        viewer->sendSignal(SIGUSR2);
        const std::string done = reportedLine({"signal: " + action});
        if (done.find("cannot") != std::string::npos) {
            GTEST_SKIP() << done;
        }
        ASSERT_EQ("signal: " + action + " done", done);
    }

    // Waits until the launcher has reported a line that starts with the
    // first of the words and holds the others, and returns it; empty if none came.
    std::string reportedLine(const std::vector<std::string>& words)
    {
        std::string found;
        pollUntil(
            [&] {
                std::istringstream lines(report.contents());
                while (std::getline(lines, found)) {
                    if (found.rfind(words.front(), 0) == 0 &&
                        std::all_of(words.begin(), words.end(),
                                    [&](const std::string& word) { return found.find(word) != std::string::npos; })) {
                        return true;
                    }
                }
                found.clear();
                return false;
            },
            WINDOW_TIMEOUT);
        return found;
    }

    // The launcher has reported such a line, or says what it has reported.
    ::testing::AssertionResult reported(const std::vector<std::string>& words)
    {
        if (!reportedLine(words).empty()) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "no line of the report starts with \"" << words.front()
                                             << "\" and holds the rest of the words; it reads:\n"
                                             << report.contents();
    }

    TemporaryFile report{"page-report"};
};

TEST_F(ViewerInABrowser, NamesThePictureByItsLabelAndSaysHowToStartAgainAfterEscape)
{
    ASSERT_NO_FATAL_FAILURE(startPage());
    waitForPicture(CURVES[0].label);
    EXPECT_TRUE(reported({"title: foo!"}));
    EXPECT_TRUE(reported({"role: img"}));
    EXPECT_TRUE(reported({std::string("name: ") + CURVES[0].label}));
    // What to do, in words below the picture, read after its name.
    EXPECT_TRUE(reported({"text: Press any key or tap the picture for the next curve. Escape ends the program."}));
    EXPECT_TRUE(reported({"fits: yes"}));
    typeKeys({XK_space});
    waitForPicture(CURVES[1].label);
    EXPECT_TRUE(reported({std::string("name: ") + CURVES[1].label}));
    ASSERT_NO_FATAL_FAILURE(quitViewer());
    EXPECT_TRUE(reported({"text: ", "exit status 1", "Reload"}));
}

TEST_F(ViewerInABrowser, ReloadKeyIsTheBrowsersAndBringsBackTheFirstCurve)
{
    ASSERT_NO_FATAL_FAILURE(startPage());
    typeKeys({XK_space});
    waitForPicture(CURVES[1].label);
    typeKeys({XK_F5});
    expectCurve(waitForPicture(CURVES[0].label), CURVES[0]);
}

TEST_F(ViewerInABrowser, InAFrameLeavesTheFocusToTheHostPageUntilClicked)
{
    if (!launcherHas("--in-frame")) {
        GTEST_SKIP() << "the page is the top-level one, not in a frame (check-in-browsers --in-frame)";
    }
    ASSERT_NO_FATAL_FAILURE(startPage());
    waitForPicture(CURVES[0].label);
    EXPECT_TRUE(reported({"host focus: field"}));
    // The launcher has clicked the picture, which has the keys now, Escape too.
    typeKeys({XK_space});
    expectCurve(waitForPicture(CURVES[1].label), CURVES[1]);
    ASSERT_NO_FATAL_FAILURE(quitViewer());
}

TEST_F(ViewerInABrowser, TapShowsTheNextCurveAndAMouseClickNothing)
{
    ASSERT_NO_FATAL_FAILURE(startPage({"--touch", "--on-signal=tap"}));
    const Picture first = waitForPicture(CURVES[0].label);
    client.click(window, WINDOW_SIZE / 2, WINDOW_SIZE / 2);
    std::this_thread::sleep_for(GRACE);
    EXPECT_TRUE(samePicture(first, waitForPicture(CURVES[0].label))) << "after a mouse click";
    // The launcher taps the middle of the picture, where the browser can.
    ASSERT_NO_FATAL_FAILURE(signalLauncher("tap"));
    if (IsSkipped()) {
        return;
    }
    expectCurve(waitForPicture(CURVES[1].label), CURVES[1]);
}

TEST_F(ViewerInABrowser, PhoneScreenShowsTheWholePictureWithoutScrollingSideways)
{
    ASSERT_NO_FATAL_FAILURE(
        startPage({"--width=" + std::to_string(PHONE_WIDTH), "--height=" + std::to_string(PHONE_HEIGHT)}));
    Picture page;
    ASSERT_TRUE(client.waitForSettledPicture(
        window,
        [](const Picture& candidate) {
            if (candidate.width != PHONE_WIDTH) {
                return ::testing::AssertionFailure() << "window " << candidate.width << " pixels wide";
            }
            return paintedAtSize(PHONE_WIDTH, PHONE_WIDTH)(cropped(candidate, 0, 0, PHONE_WIDTH, PHONE_WIDTH));
        },
        page));
    expectCurve(cropped(page, 0, 0, PHONE_WIDTH, PHONE_WIDTH), CURVES[0]);
    EXPECT_TRUE(reported({"fits: yes"})) << "the words below the picture are off the screen";
}

TEST_F(ViewerInABrowser, DenseScreenGetsASharpPictureAtItsOwnResolution)
{
    ASSERT_NO_FATAL_FAILURE(startPage({"--scale=" + std::to_string(DENSITY)}));
    Picture picture;
    ASSERT_TRUE(client.waitForSettledPicture(
        window,
        [](const Picture& candidate) {
            const ::testing::AssertionResult painted =
                paintedAtSize(DENSITY * WINDOW_SIZE, DENSITY * WINDOW_SIZE)(candidate);
            return painted ? probeLabel(candidate, CURVES[0].label, DENSITY) : painted;
        },
        picture));
    expectCurve(picture, CURVES[0]);
    EXPECT_TRUE(probeOnly(picture, {BACKGROUND, WHITE}));
    EXPECT_TRUE(probeDetailFinerThan(picture, DENSITY));
}

TEST_F(ViewerInABrowser, LostAndRestoredContextShowsTheSameCurveAgain)
{
    ASSERT_NO_FATAL_FAILURE(startPage({"--on-signal=lose-context"}));
    typeKeys({XK_space});
    const Picture shown = waitForPicture(CURVES[1].label);
    // The launcher has the browser take the WebGL context away and give it back.
    viewer->sendSignal(SIGUSR2);
    ASSERT_TRUE(reported({"signal: lose-context done"}));
    EXPECT_TRUE(samePicture(shown, waitForPicture(CURVES[1].label)));
}

TEST_F(ViewerInABrowser, WithoutWebGLDrawsInSoftwareAndSaysWhatToDo)
{
    ASSERT_NO_FATAL_FAILURE(startPage({"--without-webgl"}));
    expectCurve(waitForPicture(CURVES[0].label), CURVES[0]);
    EXPECT_TRUE(reported({"text: Press any key or tap the picture for the next curve."}));
}

TEST_F(ViewerInABrowser, WithoutJavaScriptSaysItNeedsIt)
{
    openPageUnseen({"--without-javascript"});
    EXPECT_TRUE(reported({"text: ", "needs JavaScript"}));
    viewer->sendSignal(SIGTERM);
    EXPECT_TRUE(viewer->waitForEnd(WINDOW_TIMEOUT));
}

// A language the browser asks pages for; the tag and direction the page
// gives its words then, and some of its words below the picture and after Escape.
struct ReadersLanguage {
    const char* asked;
    const char* tagAndDirection;
    const char* belowThePicture;
    const char* afterEscape;
};

const ReadersLanguage READERS_LANGUAGES[] = {
    {"de", "de ltr", "Drücken Sie eine beliebige Taste", "Exit-Status 1 beendet"},
    {"ar", "ar rtl", "اضغط أي مفتاح", "بحالة الخروج 1"},
    {"ja", "ja ltr", "キーを押すか画像をタップすると", "終了ステータス 1 で"},
    // A region with no catalogue of its own, and a language with none.
    {"pt-PT", "pt-BR ltr", "Pressione qualquer tecla", "código de saída 1"},
    {"eo", "en ltr", "Press any key", "exit status 1"},
};

// Names the language a browser asks for in a test's output.
std::ostream& operator<<(std::ostream& out, const ReadersLanguage& language)
{
    return out << language.asked;
}

// The page in a browser that asks for pages in a reader's language.
class ViewerInTheReadersLanguage : public ViewerInABrowser, public ::testing::WithParamInterface<ReadersLanguage> {};

TEST_P(ViewerInTheReadersLanguage, SaysItsWordsInItAndDrawsThePictureAsEverywhere)
{
    const ReadersLanguage& language = GetParam();
    // Room for the longer words of some languages below the picture.
    ASSERT_NO_FATAL_FAILURE(
        startPage({std::string("--lang=") + language.asked, "--height=" + std::to_string(TALL_WINDOW_HEIGHT)}));
    expectCurve(waitForPicture(CURVES[0].label), CURVES[0]);
    EXPECT_TRUE(reported({std::string("words: ") + language.tagAndDirection}));
    EXPECT_TRUE(reported({"text: ", language.belowThePicture}));
    EXPECT_TRUE(reported({"fits: yes"}));
    ASSERT_NO_FATAL_FAILURE(quitViewer());
    EXPECT_TRUE(reported({"text: ", language.afterEscape}));
}

INSTANTIATE_TEST_SUITE_P(Languages, ViewerInTheReadersLanguage, ::testing::ValuesIn(READERS_LANGUAGES),
                         [](const ::testing::TestParamInfo<ReadersLanguage>& info) {
                             std::string name = info.param.asked;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

// The page as a web app, served over http by the launcher.
class ViewerAsAnApp : public ViewerInABrowser {
protected:
    void SetUp() override
    {
        ViewerInABrowser::SetUp();
        if (!IsSkipped() && !launcherHas("--over-http")) {
            GTEST_SKIP() << "the page is opened from a file, and only a page that a web server serves is an app "
                            "(check-in-browsers --over-http)";
        }
    }
};

TEST_F(ViewerAsAnApp, InstallsWithItsNameIconsAndAWindowOfItsOwn)
{
    ASSERT_NO_FATAL_FAILURE(startPage({"--on-signal=installability"}));
    waitForPicture(CURVES[0].label);
    ASSERT_NO_FATAL_FAILURE(signalLauncher("installability"));
    if (IsSkipped()) {
        return;
    }
    EXPECT_TRUE(reported({"installability errors: none"}));
    for (const char* field : {R"("name": "Curve Viewer")", R"("start_url": "./")", R"("scope": "./")",
                              R"("display": "standalone")", R"("sizes": "192x192")", R"("sizes": "512x512")",
                              R"("purpose": "maskable")"}) {
        EXPECT_TRUE(reported({"manifest: ", field}));
    }
}

TEST_F(ViewerAsAnApp, AfterOneVisitDrawsAndAnswersKeysWithTheServerGone)
{
    ASSERT_NO_FATAL_FAILURE(startPage({"--on-signal=go-offline"}));
    typeKeys({XK_space});
    waitForPicture(CURVES[1].label);
    ASSERT_NO_FATAL_FAILURE(signalLauncher("go-offline"));
    // Loaded again from the app's cache, the program starts over.
    expectCurve(waitForPicture(CURVES[0].label), CURVES[0]);
    typeKeys({XK_space});
    expectCurve(waitForPicture(CURVES[1].label), CURVES[1]);
}

TEST_F(ViewerAsAnApp, SecondVisitAfterALaterReleaseIsFoundGetsIt)
{
    // Room for the later release's line of its own: the page would scroll,
    // its scroll bar over the picture.
    ASSERT_NO_FATAL_FAILURE(
        startPage({"--on-signal=later-release", "--height=" + std::to_string(TALL_WINDOW_HEIGHT)}));
    waitForPicture(CURVES[0].label);
    ASSERT_NO_FATAL_FAILURE(signalLauncher("later-release"));
    EXPECT_TRUE(reported({"text: ", "later release"}));
    expectCurve(waitForPicture(CURVES[0].label), CURVES[0]);
}

}
