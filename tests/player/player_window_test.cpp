// The program's windows with real windows and real model files: opening a model into the frame
// and closing it back to the player window, the question and its Cancel, files that cannot be
// opened or read, opens and closes refused while a model loads or a path plays, the File, Walk
// and Help menus, the command line's choice of file, the view window's rectangle, and full
// screen with WM_CLOSE, Space and Esc.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "draw/q_offscreen.h"
#include "foundation/disk_file_stream.h"
#include "foundation/dynamic_array.h"
#include "foundation/memory_stream.h"
#include "foundation/process_state.h"
#include "model/light.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "player/command_line.h"
#include "player/command_line_files.h"
#include "player/credits_window.h"
#include "player/model_window.h"
#include "player/navigation_pane.h"
#include "player/model_memory.h"
#include "player/navigation_pane_options.h"
#include "player/navigation_panel.h"
#include "player/open_command.h"
#include "player/player_document.h"
#include "player/player_menus.h"
#include "player/player_preferences.h"
#include "player/player_startup.h"
#include "player/view_rectangles.h"
#include "player/view_window_record.h"
#include "player/walk_menu_settings.h"
#include "tests/player/player_start.h"
#include "player/walk_observer.h"
#include "player/walk_view.h"
#include "player/window_record_kinds.h"
#include "tests/toolkit/toolkit_support.h"
#include "tools/sample_scenes.h"
#include "toolkit/app_globals.h"
#include "toolkit/button_item.h"
#include "toolkit/help_bar_host.h"
#include "toolkit/input_events.h"
#include "toolkit/progress_window.h"
#include "toolkit/screen_bounds.h"
#include "toolkit/text_item.h"
#include "toolkit/toolkit_ui_services.h"
#include "toolkit/window.h"
#include "toolkit/window_classes.h"

namespace {

std::string gFolder;

std::string PathOf(const char* name)
{
    return gFolder + name;
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

std::string ReadBytes(const std::string& path)
{
    std::string bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    std::fclose(file);
    return bytes;
}

DiskFileStream* FileFor(const std::string& path)
{
    auto* file = new DiskFileStream;
    IgnoreResult(file->SetFileFromPath(path.c_str()));
    return file;
}

ModelDocWindow* OpenModel()
{
    DocumentFrame* front = FrontDocument();
    return front == PlayerWindow ? nullptr : static_cast<ModelDocWindow*>(front);
}

// Whether the dialog windoid is a load's progress window.
bool IsProgressWindow(HWND dialog)
{
    Window* window = WindowObject<Window>(dialog);
    return window && window->PaneCount() > 0 && dynamic_cast<ProgressWindow*>(window->PaneAt(0));
}

// Presses a key in the dialog that is up once the next loop runs; while a load's progress window
// is the one up, the question or alert that follows it is waited for.
void AnswerDialogLater(WPARAM key)
{
    RunLater(50, [key] {
        HWND dialog = FindDialogWindoid();
        ASSERT_NE(dialog, nullptr);
        if (IsProgressWindow(dialog))
            AnswerDialogLater(key);
        else
            PostKey(DialogDefaultControl(dialog), key);
    });
}

// Presses OK on the "Finished loading." notice that a credited model's load ends in, once the
// load's progress window has become the notice, however long the load takes (up to 10 s).
void AcknowledgeFinishedLoadLater(int32_t waits = 200)
{
    RunLater(50, [waits] {
        HWND dialog = FindDialogWindoid();
        char message[64] = {};
        if (dialog && IsProgressWindow(dialog))
            static_cast<ProgressWindow*>(WindowObject<Window>(dialog)->PaneAt(0))->CopyMessage(message, sizeof message);
        if (std::string(message) == "Finished loading.") {
            PostKey(DialogDefaultControl(dialog), VK_RETURN);
            return;
        }
        ASSERT_GT(waits, 0) << "the load ended in no notice";
        AcknowledgeFinishedLoadLater(waits - 1);
    });
}

std::string FrameCaption()
{
    char caption[256] = {};
    GetWindowTextA(PlayerWindow && PlayerWindow->FrameWindow() ? PlayerWindow->FrameWindow()
                                                                 : OpenModel()->FrameWindow(),
                   caption, sizeof caption);
    return caption;
}

bool ItemEnabled(const Menu* menu, int32_t position)
{
    return (menu->MenuItemAt(position)->flags & kMenuItemEnabled) != 0;
}

// Whether the Walk menu's item of the command is checked.
bool WalkItemChecked(const NavigateMenuHandler* menu, WalkMenuCommand command)
{
    return menu->IsMenuItemChecked(NavigateMenuHandler::PositionOf(command)) != 0;
}

// Records what the command line hands to the open command.
class RecordingServices : public FrameServices {
public:
    void OpenModelFile(DiskFileStream* file, int32_t mode) override
    {
        char path[kPathLength] = {};
        if (file) IgnoreResult(file->FileFullPath(path));
        opened.push_back({path, mode});
        if (file) file->FileObjectDestroy();
    }
    struct Open {
        std::string path;
        int32_t mode;
    };
    std::vector<Open> opened;
};

class PlayerWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        gFolder = std::string(temp) + "qp-player-" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(gFolder.c_str(), nullptr);
        ASSERT_TRUE(StartPlayerAtOnce());
        ASSERT_TRUE(WriteModel(BuildShapesSample(), PathOf("shapes.qpy")));
        ASSERT_TRUE(WriteModel(BuildGlassSample(), PathOf("glass.qpy")));
        ModelDocument* credited = BuildShapesSample();
        credited->SetCreditsText("Made for the tests.", 19);
        ASSERT_TRUE(WriteModel(credited, PathOf("credits.qpy")));
        const std::string shapes = ReadBytes(PathOf("shapes.qpy"));
        WriteBytes(PathOf("broken.qpy"), shapes.substr(0, shapes.size() / 2));
        WriteBytes(PathOf("notes.txt"), "These are not a model's bytes.");
    }

    static void TearDownTestSuite()
    {
        if (PlayerWindow) {
            DocumentFrame* player = PlayerWindow;
            player->DestroyDocumentFrame();
            player->FreeDocumentFrame();
            PlayerWindow = nullptr;
        }
        EXPECT_NE(GlobalStream, nullptr);  // made at start-up, destroyed with the engine
        ShutdownPlayerEngine();
        EXPECT_EQ(GlobalStream, nullptr);
    }

    void TearDown() override
    {
        ModelLoadingCount = 0;
        WalkPathPlayCount = 0;
        while (ModelDocWindow* model = OpenModel()) ASSERT_TRUE(model->CloseAndDeleteDocument());
        PumpMessages();
    }

    DialogWatchdog watchdog_;
};

TEST_F(PlayerWindowTest, AModelTakesTheFrameOverAndHandsItBackWhenClosed)
{
    ASSERT_NE(PlayerWindow, nullptr);
    HWND frame = PlayerWindow->FrameWindow();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(FrameCaption(), "Tamrix Player - Untitled");

    OpenModelFile(FileFor(PathOf("shapes.qpy")), kOpenGivenFile);
    ModelDocWindow* model = OpenModel();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->FrameWindow(), frame);
    EXPECT_EQ(PlayerWindow->FrameWindow(), nullptr);
    EXPECT_EQ(FrameCaption(), "Tamrix Player - shapes.qpy");
    EXPECT_STREQ(model->FileName(), "shapes.qpy");

    PlayerDocument* document = model->Document();
    ASSERT_NE(document, nullptr);
    ViewBase* view = document->FindView(kViewWalk);
    ASSERT_NE(view, nullptr);
    EXPECT_STREQ(view->Name(), "shapes.qpy");
    EXPECT_EQ(document->ViewCount(), 1);
    ASSERT_EQ(document->WindowRecordCount(), 1);
    Window* window = document->WindowRecordAt(0)->RecordWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->IsWindowObjectVisible());
    // The walk view's window fills the frame's client area above the help bar.
    RECT client, frameClient;
    GetClientRect(window->GetWindowHandle(), &client);
    GetClientRect(frame, &frameClient);
    EXPECT_EQ(client.right, frameClient.right);

    // A second view of the kind is never made: its window comes to the front.
    document->OpenViewWindow(ModelViewRect({0, 0, 640, 480}), kViewWalk);
    EXPECT_EQ(document->ViewCount(), 1);
    EXPECT_EQ(document->WindowRecordCount(), 1);
    EXPECT_EQ(document->FindView(kViewWalk), view);
    // Kinds the document has no record of ask the asking view, which makes none here.
    EXPECT_EQ(document->FindOrCreate(view, 30), nullptr);
    EXPECT_EQ(document->WindowRecordCount(), 1);
    EXPECT_EQ(document->FindView(kViewGallery), nullptr);
    // The walk observer's kind makes a new observer of the document's model every time, in no
    // record; the document's own was made so, once, by Init.
    auto* observer = static_cast<WalkObserver*>(document->FindOrCreate(view, kViewWalkObserver));
    ASSERT_NE(observer, nullptr);
    EXPECT_NE(observer, document->Walk());
    EXPECT_EQ(observer->OwnerDocument(), document);
    EXPECT_EQ(observer->owner, document->Model()->Holder);
    EXPECT_EQ(document->WindowRecordCount(), 1);
    observer->Free();
    struct AskingDocument : PlayerDocument {
        RootObject* FindOrCreate(ViewBase* asking, int32_t kind) override
        {
            asked.push_back({asking, kind});
            return PlayerDocument::FindOrCreate(asking, kind);
        }
        std::vector<std::pair<ViewBase*, int32_t>> asked;
    };
    auto* asking = new AskingDocument;
    asking->Init(nullptr);
    EXPECT_EQ(asking->asked, (std::vector<std::pair<ViewBase*, int32_t>>{{asking, kViewWalkObserver}}));
    ASSERT_NE(asking->Walk(), nullptr);
    EXPECT_EQ(asking->Walk()->OwnerDocument(), asking);
    asking->Free();

    model->FileMenu()->FileMenuCommand(kFileMenuClose);
    EXPECT_EQ(OpenModel(), nullptr);
    EXPECT_EQ(PlayerWindow->FrameWindow(), frame);
    EXPECT_EQ(FrameCaption(), "Tamrix Player - Untitled");
    EXPECT_EQ(OpenDocumentList->ArrayCount(), 0);
}

TEST_F(PlayerWindowTest, CancelOnTheQuestionKeepsTheFirstModelAndOkOpensTheSecond)
{
    OpenModelFile(FileFor(PathOf("shapes.qpy")), kOpenGivenFile);
    ModelDocWindow* first = OpenModel();
    ASSERT_NE(first, nullptr);

    AnswerDialogLater(VK_ESCAPE);
    OpenModelFile(FileFor(PathOf("glass.qpy")), kOpenGivenFile);
    EXPECT_EQ(OpenModel(), first);
    EXPECT_STREQ(first->FileName(), "shapes.qpy");
    EXPECT_EQ(FrameCaption(), "Tamrix Player - shapes.qpy");
    EXPECT_EQ(OpenDocumentList->ArrayCount(), 1);

    AnswerDialogLater(VK_RETURN);
    OpenModelFile(FileFor(PathOf("glass.qpy")), kOpenGivenFile);
    ModelDocWindow* second = OpenModel();
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(second->FileName(), "glass.qpy");
    EXPECT_EQ(FrameCaption(), "Tamrix Player - glass.qpy");
    EXPECT_EQ(OpenDocumentList->ArrayCount(), 1);
}

TEST_F(PlayerWindowTest, FilesThatAreNoModelsOrFailToReadLeaveThePlayerWindow)
{
    // Not a model, or no file at all: silently nothing.
    OpenModelFile(FileFor(PathOf("notes.txt")), kOpenGivenFile);
    OpenModelFile(FileFor(PathOf("missing.qpy")), kOpenGivenFile);
    EXPECT_EQ(OpenModel(), nullptr);
    EXPECT_EQ(OpenDocumentList->ArrayCount(), 0);

    // A model cut short fails the read with the reader's alert; its window is gone and the
    // player window has the frame again.
    HWND frame = PlayerWindow->FrameWindow();
    AnswerDialogLater(VK_RETURN);
    OpenModelFile(FileFor(PathOf("broken.qpy")), kOpenGivenFile);
    EXPECT_EQ(OpenModel(), nullptr);
    EXPECT_EQ(OpenDocumentList->ArrayCount(), 0);
    EXPECT_EQ(PlayerWindow->FrameWindow(), frame);
    EXPECT_EQ(FrameCaption(), "Tamrix Player - Untitled");

    // After a failed open a good one still works.
    OpenModelFile(FileFor(PathOf("shapes.qpy")), kOpenGivenFile);
    EXPECT_NE(OpenModel(), nullptr);
}

TEST_F(PlayerWindowTest, OpensAndClosesAreRefusedWhileAModelLoadsOrAPathPlays)
{
    ModelLoadingCount = 1;
    OpenModelFile(FileFor(PathOf("shapes.qpy")), kOpenGivenFile);
    EXPECT_EQ(OpenModel(), nullptr);
    ModelLoadingCount = 0;

    OpenModelFile(FileFor(PathOf("shapes.qpy")), kOpenGivenFile);
    ModelDocWindow* model = OpenModel();
    ASSERT_NE(model, nullptr);
    WalkPathPlayCount = 1;
    EXPECT_TRUE(FrameCloseRefused());
    OpenModelFile(FileFor(PathOf("glass.qpy")), kOpenGivenFile);
    model->FileMenu()->FileMenuCommand(kFileMenuClose);
    SendMessageA(model->FrameWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(SendMessageA(model->FrameWindow(), WM_QUERYENDSESSION, 0, 0), 0);
    EXPECT_EQ(OpenModel(), model);
    EXPECT_STREQ(model->FileName(), "shapes.qpy");
    WalkPathPlayCount = 0;
    EXPECT_FALSE(FrameCloseRefused());
}

TEST_F(PlayerWindowTest, WalkMenuChecksAndAppliesEachLensAndSpeed)
{
    OpenModelFile(FileFor(PathOf("shapes.qpy")), kOpenGivenFile);
    ModelDocWindow* model = OpenModel();
    ASSERT_NE(model, nullptr);
    NavigateMenuHandler* menu = model->WalkMenu();
    PlayerPreferences* preferences = model->Document()->Preferences();
    WalkObserver* walk = model->ModelWalkObserver();
    ASSERT_TRUE(menu && preferences && walk);

    constexpr WalkMenuCommand kLenses[] = {kWalkWideAngle, kWalkStandard, kWalkTelephoto};
    constexpr WalkMenuCommand kSpeeds[] = {kWalkNormalSpeed, kWalkFast, kWalkFaster, kWalkFastest};
    for (WalkMenuCommand item : {kWalkTelephoto, kWalkWideAngle, kWalkStandard}) {
        menu->NavigateMenuCommand(item);
        for (WalkMenuCommand lens : kLenses)
            EXPECT_EQ(WalkItemChecked(menu, lens), lens == item) << item << " " << lens;
        EXPECT_EQ(preferences->Navigation()->lensNumerator, LensOfItem(item));
        EXPECT_EQ(walk->zoomNum, LensOfItem(item));
        EXPECT_EQ(GetChangeState(preferences->Navigation()), 0);
    }
    for (WalkMenuCommand item : {kWalkFastest, kWalkFast, kWalkFaster, kWalkNormalSpeed}) {
        menu->NavigateMenuCommand(item);
        const SpeedPreset speed = SpeedOfItem(item);
        EXPECT_EQ(preferences->Render()->wordA, speed.wordA);
        EXPECT_EQ(preferences->Render()->wordC, speed.wordC);
        // The observer takes the options of the section the speed set.
        const uint32_t mask = RenderOptionMask(*preferences->Render());
        EXPECT_EQ(walk->GetObserverOptions(0x3FFF) & mask, mask) << item;
        menu->UpdateNavigateMenu();
        for (WalkMenuCommand speedItem : kSpeeds)
            EXPECT_EQ(WalkItemChecked(menu, speedItem), speedItem == item) << item << " " << speedItem;
    }
    // A lens of the file's own checks none.
    preferences->Navigation()->lensNumerator = 50;
    menu->UpdateNavigateMenu();
    for (WalkMenuCommand lens : kLenses) EXPECT_FALSE(WalkItemChecked(menu, lens));
    EXPECT_TRUE(ItemEnabled(menu, NavigateMenuHandler::PositionOf(kWalkLevel)));
    EXPECT_EQ(menu->CurrentViewKind(), kViewDocument);
}

TEST_F(PlayerWindowTest, WalkMenuStopGoesBackToThePathsFirstPointAndEndsRecording)
{
    OpenModelFile(FileFor(PathOf("shapes.qpy")), kOpenGivenFile);
    ModelDocWindow* model = OpenModel();
    ASSERT_NE(model, nullptr);
    WalkObserver* walk = model->ModelWalkObserver();
    model->Document()->SetPathRecording(1);
    for (int32_t step = 1; step <= 3; ++step)
        model->Document()->ObserverSetPlacement(IntToFixed(10 * step), IntToFixed(-5 * step), IntToFixed(40), 0, 0,
                                                IntToFixed(16 * step));
    ASSERT_EQ(walk->PathCount(), 3);
    ASSERT_TRUE(walk->IsRecording());

    model->WalkMenu()->DoMenuCommand(12, 0);  // "Stop", after the third separator
    EXPECT_FALSE(walk->IsRecording());
    EXPECT_EQ(walk->PathCount(), 3);
    EXPECT_EQ(walk->PathIndex(), 0);
    EXPECT_EQ(walk->x, 10);
    EXPECT_EQ(walk->y, -5);
    EXPECT_EQ(walk->heading, 16);
}

TEST_F(PlayerWindowTest, WalkMenuStopAndPlayShowTheirPathStateOnThePanelAtOnce)
{
    OpenModelFile(FileFor(PathOf("shapes.qpy")), kOpenGivenFile);
    ModelDocWindow* model = OpenModel();
    ASSERT_NE(model, nullptr);
    auto* view = static_cast<WalkView*>(model->Document()->FindView(kViewWalk));
    ASSERT_NE(view, nullptr);
    NavigationPanel* panel = view->Panel();
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(panel->Owner(), nullptr);
    NavigationButtonPanel* buttons = panel->NavigationButtons();
    auto states = [buttons] {
        return std::vector<int32_t>{buttons->PanelItemState(kPanelStop), buttons->PanelItemState(kPanelPlay),
                                    buttons->PanelItemState(kPanelPause)};
    };
    WalkObserver* walk = model->ModelWalkObserver();
    walk->ClearPath();
    // Play without a path shows nothing new.
    model->WalkMenu()->NavigateMenuCommand(kWalkPlay);
    EXPECT_EQ(states(), (std::vector<int32_t>{1, 0, 0}));

    model->Document()->SetPathRecording(1);
    for (int32_t step = 1; step <= 3; ++step)
        model->Document()->ObserverSetPlacement(IntToFixed(10 * step), 0, IntToFixed(40), 0, 0, 0);
    buttons->SelectPathState(kPanelPause);
    model->WalkMenu()->NavigateMenuCommand(kWalkStop);
    EXPECT_EQ(states(), (std::vector<int32_t>{1, 0, 0}));
    EXPECT_EQ(buttons->PanelItem(kPanelStop)->IsDirty(), 0) << "drawn at once";

    // A click on the panel waits: play shows one point and stops, and the click is spent.
    HWND hwnd = panel->PaneWindow();
    SetCapture(hwnd);
    for (DWORD flags : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        SendInput(1, &input, sizeof(input));
    }
    model->WalkMenu()->NavigateMenuCommand(kWalkPlay);
    ReleaseCapture();
    EXPECT_EQ(states(), (std::vector<int32_t>{0, 1, 0}));
    EXPECT_EQ(buttons->PanelItem(kPanelPlay)->IsDirty(), 0) << "drawn at once";
    EXPECT_EQ(walk->x, 10);
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, hwnd, WM_LBUTTONDOWN, WM_MBUTTONDBLCLK, PM_NOREMOVE));
}

TEST_F(PlayerWindowTest, FileMenuEnablesCloseAndCreditsByWhatIsOpen)
{
    auto* player = static_cast<PlayerDocWindow*>(PlayerWindow);
    player->FileMenu()->UpdateFileMenu();
    EXPECT_TRUE(ItemEnabled(player->FileMenu(), 1));
    EXPECT_FALSE(ItemEnabled(player->FileMenu(), 2));
    EXPECT_FALSE(ItemEnabled(player->FileMenu(), 4));

    OpenModelFile(FileFor(PathOf("shapes.qpy")), kOpenGivenFile);
    ASSERT_NE(OpenModel(), nullptr);
    FileMenuHandler* menu = OpenModel()->FileMenu();
    menu->UpdateFileMenu();
    EXPECT_TRUE(ItemEnabled(menu, 2));
    EXPECT_FALSE(ItemEnabled(menu, 4));

    // Credits end the load with a notice that waits for OK; the question comes first.
    AnswerDialogLater(VK_RETURN);
    AcknowledgeFinishedLoadLater();
    OpenModelFile(FileFor(PathOf("credits.qpy")), kOpenGivenFile);
    ASSERT_NE(OpenModel(), nullptr);
    EXPECT_STREQ(OpenModel()->FileName(), "credits.qpy");
    menu = OpenModel()->FileMenu();
    menu->UpdateFileMenu();
    EXPECT_TRUE(ItemEnabled(menu, 4));

    // "Credits..." shows the model's text (stored without a terminator) in the credits window.
    std::string title;
    std::string text;
    RECT client = {};
    RunLater(150, [&] {
        HWND dialog = FindDialogWindoid();
        ASSERT_NE(dialog, nullptr);
        Window* window = WindowObject<Window>(dialog);
        auto* credits = dynamic_cast<CreditsDialog*>(window->PaneAt(0));
        ASSERT_NE(credits, nullptr);
        title = window->Title();
        if (credits->CreditsTextItem()->Title()) text = credits->CreditsTextItem()->Title();
        GetClientRect(dialog, &client);
        PostKey(DialogDefaultControl(dialog), VK_RETURN);
    });
    menu->DoMenuCommand(4, 0);  // "Credits...", the item after the first separator
    EXPECT_EQ(title, "Credits");
    EXPECT_EQ(text, "Made for the tests.");
    EXPECT_EQ(client.right, 297);
    EXPECT_EQ(client.bottom, 54 + 14 + 13);
    EXPECT_EQ(FindDialogWindoid(), nullptr);
}

TEST_F(PlayerWindowTest, HelpNamesTheHelpFileByTheProgramFolder)
{
    auto* player = static_cast<PlayerDocWindow*>(PlayerWindow);
    RecordedHelpCalls().clear();
    player->HelpMenu()->HelpMenuCommand(kHelpMenuIndex);
    ASSERT_EQ(RecordedHelpCalls().size(), 1u);
    const HelpCallRecord& call = RecordedHelpCalls()[0];
    EXPECT_EQ(call.window, player->FrameWindow());
    EXPECT_EQ(call.command, UINT(HELP_INDEX));
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, sizeof module);
    std::string expected = module;
    expected = expected.substr(0, expected.rfind('\\') + 1) + "QPLAY.HLP";
    EXPECT_EQ(call.file, expected);

    // A frame window that goes ends help for the same file.
    RecordedHelpCalls().clear();
    PlayerWindow = nullptr;
    TestFrame::Dispose(TestFrame::Make(kFrameModeHidden));
    PlayerWindow = player;
    SetCurrentFrame(player);
    SetFrameWindow(player->FrameWindow(), player->MdiClient());
    ASSERT_EQ(RecordedHelpCalls().size(), 1u);
    EXPECT_EQ(RecordedHelpCalls()[0].command, UINT(HELP_QUIT));
    EXPECT_EQ(RecordedHelpCalls()[0].file, expected);
}

TEST_F(PlayerWindowTest, CommandLineOpensTheFirstWordThatIsNoProgram)
{
    RecordingServices recorder;
    FrameServices* previous = InstallFrameServices(&recorder);
    const std::string shapes = PathOf("shapes.qpy");
    const std::string spaced = PathOf("two words.qpy");
    WriteBytes(spaced, ReadBytes(shapes));

    auto openWords = [&](std::vector<std::string> texts) {
        recorder.opened.clear();
        DynamicArray* words = NewDynamicArray(0, sizeof(char*), 4);
        for (std::string& text : texts) {
            char* word = new char[text.size() + 1];
            std::memcpy(word, text.c_str(), text.size() + 1);
            words->Append(&word);
        }
        OpenFirstFileArgument(words);
        FreeCommandLineWords(words);
        words->Destroy();
    };
    openWords({"C:\\bin\\QPlayer.EXE", shapes, "other.qpy"});
    ASSERT_EQ(recorder.opened.size(), 1u);
    EXPECT_EQ(recorder.opened[0].path, shapes);
    EXPECT_EQ(recorder.opened[0].mode, kOpenGivenFile);
    openWords({"a.exe", "b.Exe"});
    EXPECT_TRUE(recorder.opened.empty());
    // A word too long for a path is passed over, never cut and opened.
    openWords({std::string(300, 'm') + ".qpy", shapes});
    ASSERT_EQ(recorder.opened.size(), 1u);
    EXPECT_EQ(recorder.opened[0].path, shapes);

    // The whole text opens as one path before it is split.
    recorder.opened.clear();
    OpenCommandLine(spaced.c_str());
    ASSERT_EQ(recorder.opened.size(), 1u);
    EXPECT_EQ(recorder.opened[0].path, spaced);
    recorder.opened.clear();
    OpenCommandLine(("QPlayer.exe \"" + spaced + "\"").c_str());
    ASSERT_EQ(recorder.opened.size(), 1u);
    EXPECT_EQ(recorder.opened[0].path, spaced);
    recorder.opened.clear();
    OpenCommandLine("");
    ASSERT_EQ(recorder.opened.size(), 1u);
    EXPECT_EQ(recorder.opened[0].mode, kOpenAtStartUp);
    recorder.opened.clear();
    OpenCommandLine("\"");
    OpenCommandLine(" \"\" ");
    EXPECT_TRUE(recorder.opened.empty());

    // The rule is judged on the long name: a short name ending in "EXE" of a file whose long
    // name does not is opened under its long name.
    const std::string longName = PathOf("model.exec");
    WriteBytes(longName, ReadBytes(shapes));
    char shortName[MAX_PATH] = {};
    if (GetShortPathNameA(longName.c_str(), shortName, sizeof shortName) && NamesProgram(shortName)) {
        openWords({shortName});
        ASSERT_EQ(recorder.opened.size(), 1u);
        const std::string& opened = recorder.opened[0].path;
        EXPECT_EQ(opened.substr(opened.rfind('\\') + 1), "model.exec");
    }
    InstallFrameServices(previous);
}

TEST_F(PlayerWindowTest, StartUpWhoseWindowClassesCannotBeRegisteredMakesNothing)
{
    // The classes are registered already in this program, so registering them again fails.
    DocumentFrame* player = PlayerWindow;
    DynamicArray* documents = OpenDocumentList;
    Q_Offscreen* shared = SharedOffscreen;
    RecordingServices recorder;
    FrameServices* previous = InstallFrameServices(&recorder);
    EXPECT_FALSE(InitToolbox(GetModuleHandleA(nullptr), nullptr, "", SW_SHOW));
    InstallFrameServices(previous);
    InstallToolkitServices();
    EXPECT_EQ(PlayerWindow, player);
    EXPECT_EQ(OpenDocumentList, documents);
    EXPECT_EQ(SharedOffscreen, shared);
    EXPECT_TRUE(recorder.opened.empty());
}

TEST_F(PlayerWindowTest, ViewWindowsAskForTheMiddleOfTheUsableScreen)
{
    OpenModelFile(FileFor(PathOf("shapes.qpy")), kOpenGivenFile);
    ModelDocWindow* model = OpenModel();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->Document()->CreateViewWindow(kViewDocument), nullptr);
    Window* window = model->Document()->CreateViewWindow(kViewWalk);
    ASSERT_NE(window, nullptr);
    PortRect usable;
    GetUsableScreenBounds(&usable);
    const PortRect expected = ViewWindowRect(usable);
    PortRect bounds;
    window->GetWindowBounds(&bounds);
    RECT placed = {bounds.left, bounds.top, bounds.right, bounds.bottom};
    MapWindowPoints(nullptr, model->MdiClient(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, expected.left);
    EXPECT_EQ(placed.top, expected.top);
    EXPECT_EQ(placed.right, expected.right);
    EXPECT_EQ(placed.bottom, expected.bottom);
    window->DestroyWindowObject();
}

TEST_F(PlayerWindowTest, TheWindowsTheViewsShareAreMadeOnceEach)
{
    OpenModelFile(FileFor(PathOf("shapes.qpy")), kOpenGivenFile);
    ModelDocWindow* model = OpenModel();
    ASSERT_NE(model, nullptr);
    PlayerDocument* document = model->Document();
    ViewBase* view = document->FindView(kViewWalk);
    ASSERT_NE(view, nullptr);
    const int32_t windows = model->DocumentWindows()->ArrayCount();
    std::vector<Window*> made;
    for (int32_t kind : kDocumentWindowKinds) {
        Window* window = view->GetWindow(kind);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(view->GetWindow(kind), window);
        EXPECT_EQ(document->CreateViewWindow(kind), window);
        EXPECT_FALSE(window->IsWindowObjectVisible());
        made.push_back(window);
    }
    EXPECT_NE(made[0], made[1]);
    EXPECT_NE(made[1], made[2]);
    EXPECT_EQ(model->DocumentWindows()->ArrayCount(), windows + 3);
    EXPECT_EQ(document->FindView(kViewWalk), view) << "no view is made for them";
}

TEST_F(PlayerWindowTest, PlacementsReachWalkAndGalleryViewsAndTheModelRootTakesLights)
{
    OpenModelFile(FileFor(PathOf("shapes.qpy")), kOpenGivenFile);
    ModelDocWindow* model = OpenModel();
    ASSERT_NE(model, nullptr);
    PlayerDocument* document = model->Document();
    auto* view = static_cast<WalkView*>(document->FindView(kViewWalk));
    ASSERT_NE(view, nullptr);
    // The view watches an eye of its own here, so that what reaches it shows apart from the
    // document's walk observer.
    auto* own = new WalkObserver;
    ASSERT_EQ(own->Init(document->Model()->Holder), kResultOk);
    view->SetViewObserver(own);
    struct Case {
        int32_t kind;
        bool placed;
    };
    for (const Case c : {Case{kViewWalk, true}, Case{kViewGallery, true}, Case{30, false}}) {
        own->SetObserverPosition({0, 0, 0});
        own->SetObserverAngles(0, 0, 0);
        view->SetKind(c.kind);
        EXPECT_EQ(document->SetPlacementAll(IntToFixed(10), IntToFixed(20), IntToFixed(30), IntToFixed(1),
                                            IntToFixed(2), IntToFixed(3)),
                  0)
            << "the view list's lock count left";
        using Placement = std::array<int32_t, 6>;
        const Placement placement = {own->x, own->y, own->z, own->roll, own->pitch, own->heading};
        const Placement expected = c.placed ? Placement{10, 20, 30, 1, 2, 3} : Placement{};
        EXPECT_EQ(placement, expected) << "kind " << c.kind;
        WalkObserver* walk = document->Walk();
        EXPECT_EQ((std::array<int32_t, 3>{walk->x, walk->y, walk->z}), (std::array<int32_t, 3>{10, 20, 30}));
    }
    view->SetKind(kViewWalk);
    view->SetViewObserver(document->Walk());
    own->Free();
    EXPECT_EQ(document->ViewCommand(nullptr, kCommandViewChange, kCodeRedraw, 0), 0);

    LightList* lights = NewLightList();
    ASSERT_NE(lights, nullptr);
    document->SetModelLights(lights);
    EXPECT_EQ(document->ModelRoot()->GetLights(), lights);
    document->SetModelLights(nullptr);
    EXPECT_EQ(document->ModelRoot()->GetLights(), nullptr);
    EXPECT_EQ(document->ModelMemoryEstimate(), ModelMemoryEstimateOf(*document->ModelRoot()));
    EXPECT_GT(document->ModelMemoryEstimate(), 1024000);
}

// Cancels the system's Open dialog once it is up (looking for at most a few seconds), and
// counts it.
void CancelOpenDialogLater(int32_t* seen, int32_t tries = 100)
{
    RunLater(50, [seen, tries] {
        HWND dialog = FindWindowA("#32770", "Open");
        if (!dialog) {
            if (tries > 1) CancelOpenDialogLater(seen, tries - 1);
            return;
        }
        ++*seen;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
}

TEST_F(PlayerWindowTest, ThePlayerWindowsLoadRunsTheOpenCommandForTheOpenDialogAndAGivenFile)
{
    DocumentFrame* player = PlayerWindow;
    HWND frame = player->FrameWindow();
    int32_t dialogs = 0;
    CancelOpenDialogLater(&dialogs);
    EXPECT_EQ(player->DocumentLoad(kOpenWithDialog), 0);
    EXPECT_EQ(dialogs, 1) << "the Open dialog came up in a model window, which went with its Cancel";
    // Kind 9 without a file object: the model window finds no file and goes again.
    EXPECT_EQ(player->DocumentLoad(kOpenGivenFile), 0);
    // Other kinds: nothing.
    EXPECT_EQ(player->DocumentLoad(kOpenAtStartUp), 0);
    EXPECT_EQ(player->DocumentLoad(kDocumentWithFrame), 0);
    PumpMessages();
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(OpenModel(), nullptr);
    EXPECT_EQ(OpenDocumentList->ArrayCount(), 0);
    EXPECT_EQ(PlayerWindow->FrameWindow(), frame);
    EXPECT_EQ(FrameCaption(), "Tamrix Player - Untitled");
}

// Full screen: the walk view's panes move into a pop-up of the screen's size and back into a
// document window at the old place.
std::vector<Pane*> PanesOf(const Window* window)
{
    std::vector<Pane*> panes;
    for (int32_t i = 0; i < window->PaneCount(); ++i) panes.push_back(window->PaneAt(i));
    return panes;
}

// The window's content rectangle on the screen.
std::vector<int32_t> Corners(Window* window)
{
    PortRect r;
    window->GetWindowBounds(&r);
    return {r.left, r.top, r.right, r.bottom};
}

class FullScreenTest : public PlayerWindowTest {
protected:
    void SetUp() override
    {
        OpenModelFile(FileFor(PathOf("shapes.qpy")), kOpenGivenFile);
        model_ = OpenModel();
        ASSERT_NE(model_, nullptr);
        document_ = model_->Document();
        view_ = static_cast<WalkView*>(document_->FindView(kViewWalk));
        ASSERT_NE(view_, nullptr);
        pane_ = view_->Navigation();
        panes_ = PanesOf(ViewWindow());
        ASSERT_EQ(panes_, (std::vector<Pane*>{pane_, view_->Panel()}));
    }

    // Walk > Full Screen.
    void Toggle()
    {
        model_->WalkMenu()->NavigateMenuCommand(kWalkFullScreen);
        PumpMessages();
    }
    // The key posted to the window as the keyboard sends it, and taken by the loop.
    static void Press(HWND window, WPARAM key)
    {
        PostKey(window, key);
        PumpMessages();
    }
    Window* ViewWindow() const { return document_->WindowRecordAt(0)->RecordWindow(); }
    // The model is open and shows its view in a document window, with the help bar and the
    // Walk menu's mark agreeing.
    void ExpectWindowed()
    {
        ASSERT_EQ(OpenModel(), model_);
        EXPECT_EQ(document_->FullScreen(), 0);
        EXPECT_EQ(pane_->FullScreenState(), 0);
        EXPECT_TRUE(ViewWindow()->IsMdiChild());
        EXPECT_EQ(PanesOf(ViewWindow()), panes_) << "every pane back, in its order";
        EXPECT_TRUE(model_->GetHelpBarHost()->window->IsWindowObjectVisible());
        EXPECT_FALSE(WalkItemChecked(model_->WalkMenu(), kWalkFullScreen));
    }

    ModelDocWindow* model_ = nullptr;
    PlayerDocument* document_ = nullptr;
    WalkView* view_ = nullptr;
    NavigationPane* pane_ = nullptr;
    std::vector<Pane*> panes_;
};

TEST_F(FullScreenTest, ThePanesMoveIntoAPopUpOfTheScreensSizeAndBackToTheOldPlace)
{
    const std::vector<int32_t> place = Corners(ViewWindow());
    const int32_t height = pane_->ContentRect().Height();
    Toggle();
    Window* full = ViewWindow();
    EXPECT_EQ(pane_->FullScreenState(), 1) << "the first screen's number";
    EXPECT_EQ(full->Flags(), WindowFlags(kWindowFixedPopUp | 0x20));
    const int32_t width = GetSystemMetrics(SM_CXSCREEN);
    const int32_t screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(Corners(full), (std::vector<int32_t>{-1, -1, width - 1, screenHeight - 1}));
    // The panel and its strip stay behind: the picture takes the whole window.
    EXPECT_EQ(PanesOf(full), std::vector<Pane*>{pane_});
    EXPECT_EQ(pane_->ContentRect().Height(), screenHeight);
    EXPECT_TRUE(WalkItemChecked(model_->WalkMenu(), kWalkFullScreen));
    EXPECT_FALSE(model_->GetHelpBarHost()->window->IsWindowObjectVisible());
    EXPECT_FALSE(IsWindowEnabled(model_->FrameWindow())) << "the pop-up holds the program while it is up";
    model_->LayoutModelWindow();
    EXPECT_EQ(Corners(full), (std::vector<int32_t>{-1, -1, width - 1, screenHeight - 1})) << "the frame's layout";

    // Asking again keeps the place to come back to.
    EXPECT_EQ(document_->SetFullScreen(view_, 1), 1);
    Toggle();
    ExpectWindowed();
    EXPECT_EQ(Corners(ViewWindow()), place);
    EXPECT_EQ(pane_->ContentRect().Height(), height);
    EXPECT_TRUE(IsWindowEnabled(model_->FrameWindow()));
}

TEST_F(FullScreenTest, AMaximisedWindowIsMaximisedAgainAfterFullScreen)
{
    const std::vector<int32_t> place = Corners(ViewWindow());
    SendMessageA(ViewWindow()->GetWindowHandle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ASSERT_TRUE(IsZoomed(ViewWindow()->GetWindowHandle()));
    Toggle();
    Toggle();
    HWND back = ViewWindow()->GetWindowHandle();
    EXPECT_TRUE(IsZoomed(back));
    SendMessageA(back, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(Corners(ViewWindow()), place) << "the place kept is the restored one";
}

TEST_F(FullScreenTest, ClosingThePopUpLeavesFullScreenAndTheModelStaysOpen)
{
    // WM_CLOSE itself, then the system's close command that Alt+F4 gives.
    for (UINT close : {UINT(WM_CLOSE), UINT(WM_SYSCOMMAND)}) {
        Toggle();
        HWND full = ViewWindow()->GetWindowHandle();
        ASSERT_EQ(document_->FullScreen(), 1);
        SendMessageA(full, close, close == WM_SYSCOMMAND ? SC_CLOSE : 0, 0);
        PumpMessages();
        EXPECT_FALSE(IsWindow(full));
        ExpectWindowed();
        EXPECT_EQ(view_->Navigation(), pane_) << "the view keeps its pane";
    }
    // Outside full screen the view's window closes the model as before.
    SendMessageA(ViewWindow()->GetWindowHandle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(OpenModel(), nullptr);
}

TEST_F(FullScreenTest, ThePanesOwnWalkMenuTogglesTheSameStateAsTheWalkMenu)
{
    NavigationPaneOptionsMenu* options = NavigationPaneOptionsMenu::Make(pane_, model_);
    ASSERT_NE(options, nullptr);
    options->OptionsCommand(kOptionsFullScreen);
    PumpMessages();
    ASSERT_EQ(document_->FullScreen(), 1);
    EXPECT_TRUE(options->IsMenuItemChecked(NavigationPaneOptionsMenu::PositionOf(kOptionsFullScreen)));
    EXPECT_TRUE(WalkItemChecked(model_->WalkMenu(), kWalkFullScreen));
    EXPECT_FALSE(model_->GetHelpBarHost()->window->IsWindowObjectVisible());
    // Esc afterwards leaves full screen, and the pane's menu shows it.
    HWND full = ViewWindow()->GetWindowHandle();
    Press(full, VK_ESCAPE);
    EXPECT_FALSE(IsWindow(full));
    ExpectWindowed();
    options->UpdateMenu();
    EXPECT_FALSE(options->IsMenuItemChecked(NavigationPaneOptionsMenu::PositionOf(kOptionsFullScreen)));

    // Full screen from the Walk menu is left through the pane's menu.
    Toggle();
    options->UpdateMenu();
    EXPECT_TRUE(options->IsMenuItemChecked(NavigationPaneOptionsMenu::PositionOf(kOptionsFullScreen)));
    options->OptionsCommand(kOptionsFullScreen);
    PumpMessages();
    ExpectWindowed();
    EXPECT_FALSE(options->IsMenuItemChecked(NavigationPaneOptionsMenu::PositionOf(kOptionsFullScreen)));
    options->DeleteMenuObject();
}

bool gMenuWasUp = false;

TEST_F(FullScreenTest, SpaceAndEscActOnlyWhileTheViewFillsTheScreen)
{
    Press(ViewWindow()->GetWindowHandle(), VK_SPACE);
    Press(ViewWindow()->GetWindowHandle(), VK_ESCAPE);
    ExpectWindowed();

    Toggle();
    HWND full = ViewWindow()->GetWindowHandle();
    EXPECT_EQ(pane_->PaneKeyDown(VK_ESCAPE, kModifierLeftButton), 0) << "not while the button is held";
    // Space pops the Walk menu up (the key's own character chooses nothing in it); Escape
    // dismisses it, nothing is done and the pane redraws.
    int32_t frames = pane_->FramesShown();
    gMenuWasUp = false;
    RunLater(200, [full] {
        HWND menu = FindWindowA("#32768", nullptr);
        gMenuWasUp = menu && IsWindowVisible(menu);
        PostKey(full, VK_ESCAPE);
    });
    Press(full, VK_SPACE);
    PumpFor(300);
    EXPECT_TRUE(gMenuWasUp) << "the menu was not up when Escape came";
    EXPECT_EQ(document_->FullScreen(), 1);
    EXPECT_GT(pane_->FramesShown(), frames);

    // The last item of the pop-up is Full Screen: choosing it leaves full screen.
    RunLater(200, [full] {
        PostKey(full, VK_UP);
        PostKey(full, VK_RETURN);
    });
    Press(full, VK_SPACE);
    ExpectWindowed();

    Toggle();
    full = ViewWindow()->GetWindowHandle();
    Press(full, VK_ESCAPE);
    EXPECT_FALSE(IsWindow(full));
    ExpectWindowed();
}

}  // namespace
