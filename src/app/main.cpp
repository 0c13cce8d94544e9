// Start-up of the Qt front end: the application object builds the main
// dialog, runs it modally and ends when the dialog ends.
//
//   harvelin [--simulate] [--port PATH]... [--screenshot FILE.png] [--language de|en] [FILE.pag]
//
// The form, its messages and the command line's help speak the language
// --language names, else the system's (German when it names none).
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
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
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
#include "model/catalogue.h"
#include "platform/clock.h"
#include "platform/system_language.h"
#include "platform/port_enumeration.h"
#include "platform/serial_backends.h"
#include "pty_pager.h"
#include "ui/texts.h"

namespace {

struct Options {
    bool simulate = false;
    std::vector<std::string> ports;
    QString screenshot;
    QString file;  // to open at start; empty: none
};

// A text of the form's catalogue for Qt.
QString text(harvelin::FormText id)
{
    const std::string_view utf8 = harvelin::localizedUtf8(id);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A text of the form's catalogue for the terminal, with UTF-8 arguments.
std::string terminalText(harvelin::FormText id, std::initializer_list<std::string_view> arguments = {})
{
    return harvelin::localizedUtf8(id, arguments);
}

// The language of everything the program says, chosen before any of it is
// made: what --language names (also as --language=CODE), else the system's.
// A language the tool does not speak ends the program.
void chooseProgramLanguage(int argc, char** argv)
{
    const std::optional<std::string> asked = harvelin::languageAsked(argc, argv);
    if (!asked) {
        harvelin::chooseLanguage(harvelin::languageForSystem(harvelin::systemLanguageSetting()));
        return;
    }
    if (!harvelin::chooseLanguage(*asked)) {
        std::fprintf(stderr, "%s\n", terminalText(harvelin::FormText::UnknownLanguage, {*asked}).c_str());
        std::exit(2);
    }
}

// Qt's own texts (the help's standard options, the file dialogs, their
// overwrite question, the edits' context menu) in the language chosen,
// wherever Qt's translations are installed; numbers and dates alike.
void followLanguage(QTranslator& qtTexts)
{
    const QLocale locale = harvelin::chosenLanguage() == "de" ? QLocale(QLocale::German, QLocale::Germany)
                                                               : QLocale(QLocale::English, QLocale::UnitedStates);
    QLocale::setDefault(locale);
    if (qtTexts.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);
}

// The command line speaks the language chosen, like the form. --help,
// --version and a wrong option end here, before any window system is needed.
Options parseOptions(const QCoreApplication& app)
{
    using harvelin::FormText;
    QCommandLineParser parser;
    parser.setApplicationDescription(text(FormText::AppDescription));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption simulate(QStringLiteral("simulate"), text(FormText::SimulateOption));
    const QCommandLineOption port(QStringLiteral("port"), text(FormText::PortOption), QStringLiteral("PATH"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"), text(FormText::ScreenshotOption),
                                        QStringLiteral("FILE.png"));
    // Chosen before the parser was built (chooseProgramLanguage).
    const QCommandLineOption language(QStringLiteral("language"), text(FormText::LanguageOption),
                                      QStringLiteral("de|en"));
    parser.addOptions({simulate, port, screenshot, language});
    parser.addPositionalArgument(QStringLiteral("FILE.pag"), text(FormText::FileArgument));
    parser.process(app);
    if (parser.positionalArguments().size() > 1) {
        const std::string given = std::to_string(parser.positionalArguments().size());
        std::fprintf(stderr, "%s\n", terminalText(FormText::OneFileOnly, {given}).c_str());
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
                std::fprintf(stderr, "%s\n", terminalText(harvelin::FormText::LearnModeNotLeft).c_str());
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
            std::fprintf(stderr, "%s\n", terminalText(harvelin::FormText::NoPseudoTerminal).c_str());
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
            std::fprintf(stderr, "%s\n",
                         terminalText(harvelin::FormText::CannotWrite, {options_.screenshot.toStdString()}).c_str());
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
    chooseProgramLanguage(argc, argv);
    if (asksForHelpOrVersion(argc, argv)) {
        // Answered and ended without a display; the window system's own
        // options (-platform and the like) are known only to the full
        // application below.
        QCoreApplication commandLine(argc, argv);
        QTranslator qtTexts;
        followLanguage(qtTexts);
        parseOptions(commandLine);
    }
    QApplication app(argc, argv);
    // Message boxes carry the program file's name, without its extension.
    QApplication::setApplicationName(QFileInfo(QApplication::applicationFilePath()).completeBaseName());
    QTranslator qtTexts;
    followLanguage(qtTexts);
    ConfigApp configApp(parseOptions(app));
    return configApp.run();
}
