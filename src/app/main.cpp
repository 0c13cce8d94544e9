// Start-up of the Qt front end: the application object builds the main
// dialog, runs it modally and ends when the dialog ends.
//
//   harvelin [--simulate] [--port PATH]... [--screenshot FILE.png] [FILE.pag]
//
// A file given is opened as "Datei öffnen" opens the one chosen, once the form
// shows (a desktop's double-click on a .pag comes this way).
//
// SIGINT and SIGTERM end the form as the close box does, without asking:
// learn mode is left on the pager and the port closed, then the program ends
// with status 130 (SIGINT) or 143 (SIGTERM). A second signal meanwhile ends
// it at once.

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QSessionManager>
#include <QLibraryInfo>
#include <QLocale>
#include <QPixmap>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

#include "files/backups.h"
#include "gui/main_form.h"
#include "model/build_info.h"
#include "platform/clock.h"
#include "platform/port_enumeration.h"
#include "platform/serial_backends.h"
#include "pty_pager.h"

namespace {

struct Options {
    bool simulate = false;
    std::vector<std::string> ports;
    QString screenshot;
    QString file;  // to open at start; empty: none
};

// The command line is the tool's own business and speaks English, like
// harvelin-cli; the form itself is German. --help, --version and a wrong
// option end here, before any window system is needed.
Options parseOptions(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Configures the Zelvatron pager of a staff-call system."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption simulate(QStringLiteral("simulate"),
                                      QStringLiteral("Offer a simulated pager as the first port."));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Serial device to search as the next port (repeatable; default: "
                                                 "the serial ports of this system)."),
                                  QStringLiteral("PATH"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save the form as it looks after start as PNG, then end."),
                                        QStringLiteral("FILE.png"));
    parser.addOptions({simulate, port, screenshot});
    parser.addPositionalArgument(QStringLiteral("FILE.pag"), QStringLiteral("Configuration file to open at start."));
    parser.process(app);
    if (parser.positionalArguments().size() > 1) {
        std::fprintf(stderr, "harvelin: one file at a time, not %lld\n",
                     static_cast<long long>(parser.positionalArguments().size()));
        std::exit(2);
    }

    Options options;
    options.simulate = parser.isSet(simulate);
    for (const QString& path : parser.values(port))
        options.ports.push_back(QFile::encodeName(path).toStdString());
    options.screenshot = parser.value(screenshot);
    if (!parser.positionalArguments().isEmpty())
        options.file = parser.positionalArguments().constFirst();
    return options;
}

bool asksForHelpOrVersion(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help" || arg == "-?" || arg == "--help-all" || arg == "-v" || arg == "--version")
            return true;
    }
    return false;
}

// The signals that end the program. The handler only writes the signal's
// number into a socket pair; the GUI thread reads it from there.
constexpr int EndSignals[] = {SIGINT, SIGTERM};
int endSignalSocket[2] = {-1, -1};

void onEndSignal(int number)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(endSignalSocket[0], &byte, 1);
    errno = savedErrno;
}

// Hands SIGINT and SIGTERM to the GUI thread while it lives. Each handler
// serves once: the same signal again finds the default and ends the program
// at once, also when the GUI thread is busy.
class EndSignalWatch {
public:
    explicit EndSignalWatch(std::function<void(int number)> arrived) : arrived_(std::move(arrived))
    {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, endSignalSocket) != 0)
            return;
        notifier_ = std::make_unique<QSocketNotifier>(endSignalSocket[1], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { readSignals(); });
        struct sigaction action {};
        action.sa_handler = onEndSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART | SA_RESETHAND;
        for (const int number : EndSignals)
            ::sigaction(number, &action, nullptr);
    }

    ~EndSignalWatch()
    {
        if (!notifier_)
            return;
        for (const int number : EndSignals)
            ::signal(number, SIG_DFL);
        notifier_.reset();
        ::close(endSignalSocket[0]);
        ::close(endSignalSocket[1]);
        endSignalSocket[0] = endSignalSocket[1] = -1;
    }

    EndSignalWatch(const EndSignalWatch&) = delete;
    EndSignalWatch& operator=(const EndSignalWatch&) = delete;

private:
    void readSignals()
    {
        unsigned char byte = 0;
        while (::read(endSignalSocket[1], &byte, 1) == 1)
            arrived_(byte);
    }

    std::function<void(int)> arrived_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

// How long leaving learn mode may take after a signal before the program
// ends without: the pager is given its five tries to confirm.
constexpr int EndingBoundMs = 5000;

// The application object. It keeps nothing between runs: every start begins
// from the same state.
class ConfigApp {
public:
    explicit ConfigApp(Options options) : options_(std::move(options)) {}

    int run()
    {
        const std::unique_ptr<harvelin::SerialBackend> system = harvelin::makeSystemSerialBackend();
        harvelin::SystemClock clock;
        harvelin::SerialBackend& backend = *system;
        harvelin::PortTable ports = options_.ports.empty() ? harvelin::systemPortTable()
                                                           : harvelin::PortTable::fromPaths(options_.ports);
        if (options_.simulate) {
            const std::optional<std::string> device = startSimulatedPager(backend);
            if (!device)
                return 1;
            ports = ports.withSimulatedPager(*device);
        }

        harvelin::gui::MainForm form(backend, std::move(ports), clock);
        form.dialog().session().setBackupFolder(harvelin::BackupFolder::standardPath());
        if (!options_.file.isEmpty()) {
            // Relative to where the program was started, before anything
            // changes the working folder.
            const QString file = QFileInfo(options_.file).absoluteFilePath();
            QTimer::singleShot(0, &form, [&form, file] { form.openGivenFile(file); });
        }
        if (!options_.screenshot.isEmpty())
            return saveScreenshot(form);

        // The desktop session asks before it ends: a write under way is
        // asked about as the close box asks.
        QObject::connect(qApp, &QGuiApplication::commitDataRequest, &form,
                         [&form](QSessionManager& manager) { form.sessionEnding(manager); });

        int endedBy = 0;  // the signal that ends the program, if one does
        const EndSignalWatch signalWatch([&form, &endedBy](int number) {
            if (endedBy != 0)
                ::_exit(128 + endedBy);
            endedBy = number;
            QTimer::singleShot(EndingBoundMs, &form, [number] {
                std::fprintf(stderr, "harvelin: the pager did not leave learn mode in time; ending anyway\n");
                ::_exit(128 + number);
            });
            form.endNow(QDialog::Rejected);
        });
        form.exec();  // the result is of no interest: whatever was to keep has been saved
        return endedBy != 0 ? 128 + endedBy : 0;
    }

private:
    // The simulated pager answers behind a pseudo-terminal, reached through a
    // link with a readable name for the port list.
    std::optional<std::string> startSimulatedPager(harvelin::SerialBackend&)
    {
        harvelin::sim::PtyPager::Options simOptions;
        simOptions.state = harvelin::sim::demoPagerState();
        simOptions.pressButtonOnLearn = true;
        simDir_ = std::make_unique<QTemporaryDir>();
        if (simDir_->isValid())
            simOptions.linkPath = QFile::encodeName(simDir_->filePath(QStringLiteral("zelvatron"))).toStdString();
        pager_ = std::make_unique<harvelin::sim::PtyPager>(simOptions);
        if (!pager_->start()) {
            std::fprintf(stderr, "harvelin: no pseudo-terminal for the simulated pager\n");
            return std::nullopt;
        }
        return pager_->devicePath();
    }

    int saveScreenshot(harvelin::gui::MainForm& form) const
    {
        form.setAttribute(Qt::WA_DontShowOnScreen);
        form.show();
        const bool saved = form.grab().save(options_.screenshot, "PNG");
        form.done(0);
        if (!saved)
            std::fprintf(stderr, "harvelin: cannot write %s\n",
                         QFile::encodeName(options_.screenshot).constData());
        return saved ? 0 : 1;
    }

    Options options_;
    std::unique_ptr<QTemporaryDir> simDir_;
    std::unique_ptr<harvelin::sim::PtyPager> pager_;
};

}  // namespace

int main(int argc, char** argv)
{
    // A file over the size limit is reported as a failed save, not by dying
    // of the signal.
    ::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication::setApplicationVersion(QString::fromStdString(harvelin::versionText()));
    if (asksForHelpOrVersion(argc, argv)) {
        // Answered and ended without a display; the window system's own
        // options (-platform and the like) are known only to the full
        // application below.
        QCoreApplication commandLine(argc, argv);
        parseOptions(commandLine);
    }
    QApplication app(argc, argv);
    // Message boxes carry the program file's name, without its extension.
    QApplication::setApplicationName(QFileInfo(QApplication::applicationFilePath()).completeBaseName());
    // The file dialogs, their overwrite question and the edits' context menu
    // come from Qt; they speak German like the rest of the form wherever Qt's
    // translations are installed.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    ConfigApp configApp(parseOptions(app));
    return configApp.run();
}
