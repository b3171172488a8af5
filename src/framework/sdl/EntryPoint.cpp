#include "framework/sdl/EntryPoint.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>

#include <SDL.h>

#include "framework/App.h"
#include "framework/Configuration.h"
#include "framework/Events.h"
#include "framework/FrameTick.h"
#include "framework/LaunchOptions.h"
#include "framework/Renderer.h"
#include "framework/Replay.h"
#include "framework/Shell.h"
#include "framework/WindowSettings.h"
#include "framework/sdl/PosixLibraryLoader.h"
#include "framework/sdl/PosixPlatform.h"
#include "framework/sdl/SdlDialogs.h"
#include "framework/sdl/SdlShell.h"
#include "gr/Context.h"
#include "io/VFS.h"
#include "lang/Exception.h"
#include "lang/Format.h"
#include "lang/Log.h"
#include "lang/System.h"
#include "lang/Thread.h"
#include "lang/VisualStudioLogger.h"

namespace framework {
namespace sdl {

namespace {

class SystemClock : public FrameClock {
public:
    int64_t nowMicros() override { return lang::System::currentTimeMicros(); }
    void sleepMillis(int milliseconds) override { lang::Thread::sleep(milliseconds); }
};

// The driver SDL was asked for, or the ones it would try.
std::string driverChoice(const char* variable, int count, const char* (*name)(int)) {
    const char* wanted = std::getenv(variable);
    if (wanted && *wanted) {
        return wanted;
    }
    std::string names;
    for (int i = 0; i < count; ++i) {
        names += (i ? ", " : "") + std::string(name(i));
    }
    return names;
}

// Empty when the video driver started, else the message for the user.
std::string startVideo() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
        return std::string();
    }
    const std::string driver =
        driverChoice("SDL_VIDEODRIVER", SDL_GetNumVideoDrivers(), SDL_GetVideoDriver);
    return lang::format(
        "Cannot open the video driver \"{0}\": {1}\nSet SDL_VIDEODRIVER to a driver that works "
        "here (\"offscreen\" needs no display).",
        driver, SDL_GetError());
}

bool isDisplayless(const char* driver) {
    const std::string name = driver ? driver : "";
    return name == "offscreen" || name == "dummy" || name == "evdev";
}

// Sound is not needed to run, so a missing device only leaves a warning.
void startAudio() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        return;
    }
    const std::string driver =
        driverChoice("SDL_AUDIODRIVER", SDL_GetNumAudioDrivers(), SDL_GetAudioDriver);
    QF_LOG("Framework", lang::log::WARNING,
           "Cannot open the audio driver \"%s\": %s. Set SDL_AUDIODRIVER to a driver that works "
           "here (\"dummy\" plays nothing).",
           driver.c_str(), SDL_GetError());
}

void changeToConfigurationFolder(const std::vector<std::string>& arguments) {
    if (arguments.size() < 2) {
        return;
    }
    const std::string folder = configurationFolder(arguments[1]);
    if (!folder.empty() && !changeDirectory(folder)) {
        QF_LOG("Framework", lang::log::WARNING, "Cannot change the working directory to %s",
               folder.c_str());
    }
}

// False when another instance runs; it is asked to show its window.
bool claimSingleInstance(SingleInstance& instance, const std::string& argument0) {
    const std::string lock = runtimeFolder() + "/" + instanceLockName(argument0);
    if (!instance.acquire(lock)) {
        SingleInstance::notifyHolder(lock);
        return false;
    }
    return true;
}

void listenForRaise(SingleInstance& instance) {
    const Uint32 type = SdlShell::raiseEventType();
    instance.listen([type] {
        SDL_Event event;
        SDL_zero(event);
        event.type = type;
        SDL_PushEvent(&event);
    });
}

void setFolderRoots(const std::string& workingDir, const WindowSettings& settings) {
    std::string appData = workingDir;
    const std::string folder =
        applicationDataFolder(dataHome(), settings.publisher, settings.product);
    if (!folder.empty()) {
        // Even when the folder is unusable, saves never fall back into the
        // bundle: it may be read-only, and an update would replace it and the
        // saves with it. They fail instead, each with a warning.
        appData = folder;
        if (!makeFolders(folder)) {
            const int error = errno;
            struct stat info;
            const bool notFolder = stat(folder.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
            QF_LOG("Framework", lang::log::WARNING,
                   "Cannot use the data folder %s: %s. The game runs, but nothing is saved.",
                   folder.c_str(), notFolder ? "a file is in its place" : std::strerror(error));
        }
    }
    io::setAppDataRoot(folderRoot(appData));
    io::setBundleRoot(folderRoot(workingDir));
}

// Resident memory in kB, or -1 when the system does not tell.
long residentKilobytes() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) {
        return -1;
    }
    char line[256];
    long kilobytes = -1;
    while (std::fgets(line, sizeof line, status)) {
        if (std::sscanf(line, "VmRSS: %ld kB", &kilobytes) == 1) {
            break;
        }
    }
    std::fclose(status);
    return kilobytes;
}

int openFiles() {
    DIR* dir = opendir("/proc/self/fd");
    if (!dir) {
        return -1;
    }
    int count = 0;
    while (dirent* entry = readdir(dir)) {
        count += entry->d_name[0] != '.';
    }
    closedir(dir);
    return count - 1;  // the listing's own descriptor
}

// For long runs that look for leaks: one line every `every` frames.
lang::Ptr<lang::event::Link> reportResources(int every) {
    auto frames = std::make_shared<int>(0);
    return lang::event::connect(onFrame, [frames, every](float, gr::Context*) {
        if (++*frames % every == 0) {
            QF_LOG("Framework", lang::log::INFO, "Frame %d: resident %ld kB, %d open files",
                   *frames, residentKilobytes(), openFiles());
        }
    });
}

void createContext(SdlShell& shell, const WindowSettings& settings) {
    int width, height;
    shell.drawableSize(width, height);
    const RendererTarget target = {width, height, settings.orientation, shell.window(), nullptr};
    const std::string dllPath = settings.dllPath.empty() ? executableFolder() : settings.dllPath;
    PosixLibraryLoader loader;
    shell.setContext(createRenderer(settings.renderer, dllPath, target, loader).get());
}

void createApplication(SdlShell& shell, const Application& application) {
    if (!application.create) {
        throw lang::Exception(lang::Format("No application to run"));
    }
    App* app = application.create(&shell, shell.context());
    shell.setApplication(app);
    if (app) {
        app->init();
    }
}

// The recording, replay or hash log the options ask for; null for none.
// Throws when a file cannot be used, before the first frame.
std::unique_ptr<ReplaySession> startReplaySession(SdlShell& shell, const LaunchOptions& options) {
    if (options.record.empty() && options.replay.empty() && options.hashLog.empty()) {
        return nullptr;
    }
    ReplaySession::Settings settings;
    settings.recordPath = options.record;
    settings.replayPath = options.replay;
    settings.hashLogPath = options.hashLog;
    settings.contentId = App::current ? App::current->contentId() : std::string();
    const char* anyContent = std::getenv("QUILLFIRE_REPLAY_ANY_CONTENT");
    settings.anyContent = anyContent && std::string(anyContent) == "1";
    shell.drawableSize(settings.width, settings.height);
    auto session = std::make_unique<ReplaySession>(settings);
    shell.setReplaySession(session.get());
    return session;
}

// --test DIR: the application runs the scripts, making a fresh game for each.
int runTests(SdlShell& shell, const LaunchOptions& options, const Application& application) {
    if (!application.runTests) {
        std::fprintf(stderr, "This program has no test scripts to run\n");
        return 2;
    }
    TestHarness harness;
    harness.start = [&shell, &application]() {
        createApplication(shell, application);
        shell.replayActivation();
        return App::current;
    };
    harness.frame = [&shell](float dt) { frameTick(shell, shell.context(), dt); };
    harness.stop = [&shell]() { shell.setApplication(nullptr); };
    return application.runTests(options.testDir, harness);
}

// Start-up and the main loop; returns the exit code.
int startAndRun(SdlShell& shell, const LaunchOptions& options, const Application& application,
                SingleInstance& instance) {
    const std::vector<std::string>& arguments = shell.getArguments();
    changeToConfigurationFolder(arguments);
    const std::string workingDir = workingDirectory();
    WindowSettings& settings = WindowSettings::current();
    settings.setBeforeReading();
    readConfiguration(configurationFile(arguments), settings, application.readConfiguration);
    if (settings.singleton && !claimSingleInstance(instance, arguments[0])) {
        return 0;
    }
    const std::string videoError = startVideo();
    if (!videoError.empty()) {
        showErrorBox(nullptr, "Error", videoError);
        return 1;
    }
    if (isDisplayless(SDL_GetCurrentVideoDriver())) {
        // SDL falls back to these without a display: nothing would ever focus
        // the window, and no dialog could be seen.
        shell.setHeadless(true);
        setDialogsHeadless(true);
    }
    startAudio();
    if (settings.singleton) {
        listenForRaise(instance);
    }
    shell.registerCursors(settings.showCursor);
    setFolderRoots(workingDir, settings);
    shell.setInitialFlags(settings.fullscreen, settings.captureMouse);
    if (!shell.createWindow("Loading...", settings.width, settings.height, settings.depthbuffer,
                            settings.stencilbuffer)) {
        showErrorBox(nullptr, "Error", "Failed to create main window");
        return 1;
    }
    createContext(shell, settings);
    if (!options.testDir.empty()) {
        return runTests(shell, options, application);
    }
    createApplication(shell, application);
    lang::Ptr<lang::event::Link> report;
    if (options.reportEvery > 0) {
        report = reportResources(options.reportEvery);
    }
    shell.setWindowTitle(settings.name);
    std::unique_ptr<ReplaySession> replay = startReplaySession(shell, options);
    if (!shell.isReplaying()) {
        // A replay brings these with its first frame.
        shell.reportPointer();
        shell.replayActivation();
    }
    if (!options.capture.empty() && shell.context()) {
        shell.context()->keepFrames(true);  // the last one is written after the loop
    }
    SystemClock clock;
    // Nobody watches a headless run with a fixed step: it runs as fast as it can.
    const bool unpaced = options.headless && options.fixedDt > 0;
    const int exitCode =
        shell.runMainLoop(clock, unpaced ? 0 : settings.framerate, options.fixedDt, options.frames);
    if (replay) {
        replay->finish();
        shell.setReplaySession(nullptr);
    }
    if (!options.capture.empty() && shell.context()) {
        shell.context()->captureScreen(options.capture);
    }
    return exitCode;
}

// Shows a fatal error over everything; the process then fails.
int reportFatal(SdlShell& shell, const std::string& message) {
    shell.enterFailingState();
    showErrorBox(shell.window(), "Error!", message);
    return 1;
}

// The start-up moves to the configuration's folder; files named on the command
// line are meant from where the program was started.
void anchorPaths(LaunchOptions& options) {
    const std::string start = workingDirectory();
    for (std::string* path :
         {&options.capture, &options.shots, &options.stats, &options.record, &options.replay,
          &options.hashLog, &options.testDir, &options.sources}) {
        if (!path->empty() && (*path)[0] != '/' && !start.empty()) {
            *path = start + "/" + *path;
        }
    }
}

// The executable's file name, for the usage text.
std::string programName(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.empty() ? "quillfire" : name;
}

void prepareHeadless() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

}  // namespace

int runApplication(int argc, char** argv, const Application& application) {
    VisualStudioLogger logger;
    LaunchOptions options = parseLaunchOptions(std::vector<std::string>(argv, argv + argc));
    const std::string program = programName(argc > 0 ? argv[0] : "");
    if (!options.error.empty()) {
        std::fprintf(stderr, "%s: %s\n\n%s", program.c_str(), options.error.c_str(),
                     launchUsage(program).c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(launchUsage(program).c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("%s\n",
                    application.version.empty() ? program.c_str() : application.version.c_str());
        return 0;
    }
    if (options.listNatives) {
        if (!application.listNatives) {
            std::fprintf(stderr, "%s publishes no natives to scripts\n", program.c_str());
            return 2;
        }
        std::fputs(application.listNatives().c_str(), stdout);
        return 0;
    }
    anchorPaths(options);
    if (!options.testDir.empty()) {
        options.headless = true;  // tests run unattended
    }
    if (options.headless) {
        prepareHeadless();
    }
    setDialogsHeadless(options.headless);
    installExceptionDialog();
    // Past a file size limit a write fails with EFBIG, which a save handles
    // like a full disk; the signal would end the game instead.
    std::signal(SIGXFSZ, SIG_IGN);
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    int exitCode = 0;
    {
        SingleInstance instance;
        SdlShell shell(options.arguments, options.headless);
        // The run moves to the configuration's folder; a relative shots folder
        // means one in the folder the command was given in.
        LaunchOptions forProgram = options;
        if (!forProgram.shots.empty() && forProgram.shots[0] != '/') {
            forProgram.shots = workingDirectory() + "/" + forProgram.shots;
        }
        shell.setLaunchOptions(forProgram);
        try {
            exitCode = startAndRun(shell, options, application, instance);
        } catch (const lang::Throwable& e) {
            exitCode = reportFatal(shell, e.getMessage());
        } catch (const std::exception& e) {
            exitCode = reportFatal(shell, e.what());
        } catch (...) {
            exitCode = reportFatal(shell, "Unknown exception happened");
        }
        shell.teardown();
    }
    lang::Throwable::setDialogHook(nullptr);
    SDL_Quit();
    return exitCode;
}

}  // namespace sdl
}  // namespace framework
