<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="de">
<context>
    <name>cli</name>
    <message id="cli.ProgramDescription">
        <source>Konfiguriert den Zelvatron-Pager von der Kommandozeile aus: dieselben Schritte wie die Knöpfe des Formulars, mit den Meldungen des Formulars auf der Standardfehlerausgabe.</source>
        <translation>Configures the Zelvatron pager from the command line: the same steps as the form&apos;s buttons, with the form&apos;s messages on standard error.</translation>
    </message>
    <message id="cli.ExitStatusFooter">
        <source>Exit-Status: 0 Erfolg, 1 ein Schritt am Gerät ist fehlgeschlagen, 2 falscher Aufruf oder eine Datei, die sich nicht lesen oder schreiben lässt, 3 kein Pager gefunden, 130 durch Strg-C oder SIGTERM angehalten (Lernmodus verlassen, Port geschlossen, keine Datei geschrieben).</source>
        <translation>Exit status: 0 success, 1 a device step failed, 2 bad usage or a file that cannot be read or written, 3 no pager found, 130 stopped by Ctrl-C or SIGTERM (learn mode left, port closed, no file written).</translation>
    </message>
    <message id="cli.GlobalOptionsHeading">
        <source>Globale Optionen (vor oder nach dem Befehl):</source>
        <translation>Global options (before or after the command):</translation>
    </message>
    <message id="cli.HelpOptionHelp">
        <source>Diese Hilfe ausgeben und beenden</source>
        <translation>Print this help message and exit</translation>
    </message>
    <message id="cli.VersionOptionHelp">
        <source>Die Version des Programms ausgeben und beenden</source>
        <translation>Display program version information and exit</translation>
    </message>
    <message id="cli.PortOptionHelp">
        <source>Serielles Gerät, das durchsucht wird, wiederholbar; das erste ist Port 1 (Vorgabe: die seriellen Ports dieses Systems)</source>
        <translation>Serial device to search, repeatable; the first is port 1 (default: the serial ports of this system)</translation>
    </message>
    <message id="cli.SimulateOptionHelp">
        <source>Den eingebauten simulierten Pager an die erste Stelle der Porttabelle setzen</source>
        <translation>Put the built-in simulated pager first into the port table</translation>
    </message>
    <message id="cli.TraceOptionHelp">
        <source>Jeden gesendeten Rahmen und jede empfangene Antwort auf der Standardfehlerausgabe ausgeben</source>
        <translation>Print every frame sent and every reply received on standard error</translation>
    </message>
    <message id="cli.NoBackupOptionHelp">
        <source>Von den Auslesungen dieses Befehls keine Sicherung behalten</source>
        <translation>Keep no backup of this command&apos;s read-outs</translation>
    </message>
    <message id="cli.LanguageOptionHelp">
        <source>Sprache der Texte: de (Deutsch) oder en (Englisch); Vorgabe: die Sprache des Systems</source>
        <translation>Language of the texts: de (German) or en (English); default: the system&apos;s language</translation>
    </message>
    <message id="cli.PortsCommandHelp">
        <source>Die Porttabelle auflisten: Nummer, Gerät, ob es sich jetzt öffnen lässt, Beschreibung</source>
        <translation>List the port table: number, device, whether it opens now, description</translation>
    </message>
    <message id="cli.SearchCommandHelp">
        <source>Den Pager suchen (&quot;Suche Zelvatron&quot;) und seinen Port ausgeben</source>
        <translation>Search the pager (&quot;Suche Zelvatron&quot;) and print its port</translation>
    </message>
    <message id="cli.ReadCommandHelp">
        <source>Den Pager auslesen (&quot;Pager -&gt; PC&quot;) und die Konfiguration speichern</source>
        <translation>Read the pager (&quot;Pager -&gt; PC&quot;) and save the configuration</translation>
    </message>
    <message id="cli.ReadFileHelp">
        <source>Die .pag-Datei, die gespeichert wird (mit --each: der Ordner)</source>
        <translation>The .pag file to save (with --each: the folder)</translation>
    </message>
    <message id="cli.ReadEachHelp">
        <source>Pager um Pager in den Ordner FILE auslesen, jeden benannt wie die Sicherungen, auf allen Ports zugleich, bis Strg-C; den nächsten Pager an einen Port stecken, sobald für ihn &quot;der Pager ist fort&quot; ausgegeben wird (etwa 6 s, nachdem der letzte abgenommen wurde)</source>
        <translation>Read pager after pager into the folder FILE, each named as the backups are, on every port at once, until Ctrl-C; plug the next pager into a port when &quot;the pager is gone&quot; is printed for it (about 6 s after the last one was taken off)</translation>
    </message>
    <message id="cli.LogOptionHelp">
        <source>Mit --each: jede Ergebniszeile an diese CSV-Datei anhängen</source>
        <translation>With --each: append every result line to this CSV file</translation>
    </message>
    <message id="cli.ReadCountHelp">
        <source>Mit --each: enden, sobald N Pager fehlerfrei ausgelesen sind</source>
        <translation>With --each: end once N pagers are read well</translation>
    </message>
    <message id="cli.CarefulHelp">
        <source>Auf einer gestörten Leitung: jeden Platz und jede Einstellung abfragen, bis zwei Antworten übereinstimmen (höchstens 4-mal); ein Schritt ohne Übereinstimmung lässt die Auslesung scheitern</source>
        <translation>On a noisy line: ask every slot and setting until two answers agree (at most 4 times); a step that never agrees fails the read-out</translation>
    </message>
    <message id="cli.WriteCarefulHelp">
        <source>%1; für das Zurücklesen bei --verify und --backup</source>
        <translation>%1; for the read-backs of --verify and --backup</translation>
    </message>
    <message id="cli.WriteCommandHelp">
        <source>Eine .pag-Datei öffnen und in den Pager schreiben (&quot;PC -&gt; Pager&quot;)</source>
        <translation>Open a .pag file and write it into the pager (&quot;PC -&gt; Pager&quot;)</translation>
    </message>
    <message id="cli.WriteFileHelp">
        <source>Die .pag-Datei, die geschrieben wird</source>
        <translation>The .pag file to write</translation>
    </message>
    <message id="cli.WriteVerifyHelp">
        <source>Den Pager zurücklesen und jeden Unterschied ausgeben (Exit-Status 1)</source>
        <translation>Read the pager back and print every difference (exit 1)</translation>
    </message>
    <message id="cli.WriteJsonHelp">
        <source>Mit --verify: die Unterschiede als ein JSON-Objekt</source>
        <translation>With --verify: the differences as one JSON object</translation>
    </message>
    <message id="cli.WriteBackupHelp">
        <source>Den Pager zuerst auslesen und das als Sicherung behalten</source>
        <translation>Read the pager first and keep that as a backup</translation>
    </message>
    <message id="cli.WriteEachHelp">
        <source>Pager um Pager auf allen Ports zugleich schreiben, bis Strg-C. Ein Pager muss zwei Proben lang (etwa 6 s) von seinem Port genommen sein, bevor dort der nächste bedient wird: den nächsten anstecken, sobald für den Port &quot;der Pager ist fort&quot; ausgegeben wird</source>
        <translation>Write pager after pager on every port at once, until Ctrl-C. A pager must be off its port for two probes (about 6 s) before the next is served there: plug in the next one when &quot;the pager is gone&quot; is printed for the port</translation>
    </message>
    <message id="cli.NamesHelp">
        <source>Mit --each: ein Pager-Name je Zeile, an die Pager in der Reihenfolge vergeben, in der sie bedient werden; die Serie endet, wenn jeder Name vergeben ist</source>
        <translation>With --each: one pager name per line, given to the pagers in the order they are served; the series ends when every name is given</translation>
    </message>
    <message id="cli.NamePatternHelp">
        <source>Mit --each: jeden Pager nach seiner Nummer benennen, z. B. &quot;Service {n:02}&quot; (Service 01, Service 02, ...)</source>
        <translation>With --each: name each pager by its number, e.g. &quot;Service {n:02}&quot; (Service 01, Service 02, ...)</translation>
    </message>
    <message id="cli.FirstHelp">
        <source>Mit --name-pattern: die erste Nummer (Vorgabe 1)</source>
        <translation>With --name-pattern: the first number (default 1)</translation>
    </message>
    <message id="cli.KeepNameHelp">
        <source>Mit --each: jeder Pager behält seinen Namen (vor dem Schreiben gelesen; ein Pager, dessen Name sich nicht lesen lässt, wird nicht geschrieben)</source>
        <translation>With --each: every pager keeps the name it holds (read before the write; a pager whose name cannot be read is not written)</translation>
    </message>
    <message id="cli.WriteCountHelp">
        <source>Mit --each: enden, sobald N Pager fehlerfrei geschrieben sind</source>
        <translation>With --each: end once N pagers are written well</translation>
    </message>
    <message id="cli.WritePartialHelp">
        <source>Eine Datei schreiben, der einige Zeilen einer gespeicherten Konfiguration fehlen; die Startwerte des Formulars treten an ihre Stelle</source>
        <translation>Write a file that lacks some of a saved configuration&apos;s lines; the form&apos;s start values take their place</translation>
    </message>
    <message id="cli.ShowCommandHelp">
        <source>Ausgeben, was eine .pag-Datei enthält, wie das Formular es zeigen würde</source>
        <translation>Print what a .pag file holds, as the form would show it</translation>
    </message>
    <message id="cli.PagFileHelp">
        <source>Die .pag-Datei</source>
        <translation>The .pag file</translation>
    </message>
    <message id="cli.TableJsonHelp">
        <source>Ein JSON-Objekt statt einer Tabelle</source>
        <translation>One JSON object instead of a table</translation>
    </message>
    <message id="cli.SheetCommandHelp">
        <source>Ein druckbares Blatt einer .pag-Datei erstellen: eine A4-Seite HTML mit den Einstellungen und jedem Platz, der etwas enthält</source>
        <translation>Make a printable sheet of a .pag file: one A4 page of HTML with the settings and every slot that holds anything</translation>
    </message>
    <message id="cli.SheetOutputHelp">
        <source>Die HTML-Datei, die geschrieben wird, - für die Standardausgabe (die Vorgabe)</source>
        <translation>The HTML file to write, - for standard output (the default)</translation>
    </message>
    <message id="cli.LearnCommandHelp">
        <source>Dem Pager einen Rufknopf für einen Platz beibringen (&quot;Lernen&quot;) und seine Kennung in FILE speichern</source>
        <translation>Teach the pager a call button for a caller slot (&quot;Lernen&quot;) and save its identity into FILE</translation>
    </message>
    <message id="cli.SlotHelp">
        <source>Platz 1..32</source>
        <translation>Caller slot 1..32</translation>
    </message>
    <message id="cli.LearnFileHelp">
        <source>Die .pag-Datei, die ergänzt wird (angelegt, wenn sie fehlt)</source>
        <translation>The .pag file to update (created when missing)</translation>
    </message>
    <message id="cli.OptionCommandHelp">
        <source>Eine Option des Pagers sofort schalten, wie ein Klick auf ihr Kästchen</source>
        <translation>Switch a pager option at once, as a click on its box does</translation>
    </message>
    <message id="cli.OptionNameHelp">
        <source>battery, buzzer oder remote-delete</source>
        <translation>battery, buzzer or remote-delete</translation>
    </message>
    <message id="cli.OptionStateHelp">
        <source>on oder off</source>
        <translation>on or off</translation>
    </message>
    <message id="cli.OptionPagerNameHelp">
        <source>Der Name des Pagers, den der Schaltbefehl mitführt (Vorgabe &quot;Pager:A&quot;)</source>
        <translation>The pager&apos;s name, which the switch carries (default &quot;Pager:A&quot;)</translation>
    </message>
    <message id="cli.VerifyCommandHelp">
        <source>Den Pager mit einer .pag-Datei vergleichen, ohne zu schreiben; Exit-Status 1, wenn sie sich unterscheiden</source>
        <translation>Compare the pager with a .pag file without writing; exit 1 when they differ</translation>
    </message>
    <message id="cli.LinesJsonHelp">
        <source>Ein JSON-Objekt statt Zeilen</source>
        <translation>One JSON object instead of lines</translation>
    </message>
    <message id="cli.DiffCommandHelp">
        <source>Zwei Konfigurationen vergleichen, jede eine .pag-Datei oder &quot;pager&quot;; Exit-Status 1, wenn sie sich unterscheiden</source>
        <translation>Compare two configurations, each a .pag file or &quot;pager&quot;; exit 1 when they differ</translation>
    </message>
    <message id="cli.DiffSideHelp">
        <source>Eine .pag-Datei oder pager</source>
        <translation>A .pag file, or pager</translation>
    </message>
    <message id="cli.BackupsCommandHelp">
        <source>Die Sicherungen der Auslesungen auflisten, die neueste zuerst</source>
        <translation>List the backups of the read-outs, newest first</translation>
    </message>
    <message id="cli.ExportCommandHelp">
        <source>Die Plätze und Einstellungen einer .pag-Datei als CSV-Tabelle schreiben</source>
        <translation>Write a .pag file&apos;s slots and settings as a CSV table</translation>
    </message>
    <message id="cli.ExportOutHelp">
        <source>Die CSV-Datei, die geschrieben wird, - für die Standardausgabe</source>
        <translation>The CSV file to write, - for standard output</translation>
    </message>
    <message id="cli.SeparatorHelp">
        <source>Feldtrenner: , oder ; oder t für einen Tabulator (Vorgabe: ; wo Dezimalzahlen ein Komma haben, sonst ,)</source>
        <translation>Field separator: , or ; or t for a tab (default: ; where decimals take a comma, else ,)</translation>
    </message>
    <message id="cli.ImportCommandHelp">
        <source>Eine .pag-Datei aus einer CSV-Tabelle oder aus show --json erstellen</source>
        <translation>Make a .pag file from a CSV table or from show --json</translation>
    </message>
    <message id="cli.ImportInHelp">
        <source>Die CSV- oder JSON-Datei (UTF-8, sonst als Windows-1252 gelesen)</source>
        <translation>The CSV or JSON file (UTF-8, else read as Windows-1252)</translation>
    </message>
    <message id="cli.ImportPartialHelp">
        <source>Eine Tabelle oder ein JSON importieren, dem einige Plätze oder Einstellungen fehlen; die Startwerte des Formulars treten an ihre Stelle</source>
        <translation>Import a table or JSON that lacks some slots or settings; the form&apos;s start values take their place</translation>
    </message>
    <message id="cli.ClockCommandHelp">
        <source>Die Uhr des Repeaters nach der Uhr dieses Rechners stellen (&quot;Systemzeit -&gt; Repeater&quot;)</source>
        <translation>Set the repeater&apos;s clock from this machine&apos;s clock (&quot;Systemzeit -&gt; Repeater&quot;)</translation>
    </message>
    <message id="cli.BootloaderCommandHelp">
        <source>Den Pager seinen Bootloader starten lassen</source>
        <translation>Tell the pager to start its boot loader</translation>
    </message>
    <message id="cli.UsageLabel">
        <source>Aufruf</source>
        <translation>Usage</translation>
    </message>
    <message id="cli.OptionsLabel">
        <source>OPTIONEN</source>
        <translation>OPTIONS</translation>
    </message>
    <message id="cli.CommandLabel">
        <source>BEFEHL</source>
        <translation>SUBCOMMAND</translation>
    </message>
    <message id="cli.ArgumentsLabel">
        <source>Argumente</source>
        <translation>Positionals</translation>
    </message>
    <message id="cli.RequiredLabel">
        <source>PFLICHT</source>
        <translation>REQUIRED</translation>
    </message>
    <message id="cli.NeedsLabel">
        <source>Braucht</source>
        <translation>Needs</translation>
    </message>
    <message id="cli.ExcludesLabel">
        <source>Schließt aus</source>
        <translation>Excludes</translation>
    </message>
    <message id="cli.OptionsGroup">
        <source>Optionen</source>
        <translation>Options</translation>
    </message>
    <message id="cli.CommandsGroup">
        <source>Befehle</source>
        <translation>Subcommands</translation>
    </message>
    <message id="cli.UnknownCommand">
        <source>unbekannter Befehl &quot;%1&quot;</source>
        <translation>unknown command &quot;%1&quot;</translation>
    </message>
    <message id="cli.NoCommandGiven">
        <source>kein Befehl angegeben</source>
        <translation>no command given</translation>
    </message>
    <message id="cli.CommandList">
        <source>Befehle: %1
%2 --help sagt mehr.</source>
        <translation>Commands: %1
Run %2 --help for more.</translation>
    </message>
    <message id="cli.SeeHelp">
        <source>%1 (siehe %2 --help)</source>
        <translation>%1 (see %2 --help)</translation>
    </message>
    <message id="cli.UnknownLanguage">
        <source>--language nimmt de (Deutsch) oder en (Englisch), nicht &quot;%1&quot;</source>
        <translation>--language takes de (German) or en (English), not &quot;%1&quot;</translation>
    </message>
    <message id="cli.ArgumentRequired">
        <source>%1 muss angegeben werden</source>
        <translation>%1 is required</translation>
    </message>
    <message id="cli.ArgumentNotExpected">
        <source>Unerwartetes Argument: %1</source>
        <translation>The following argument was not expected: %1</translation>
    </message>
    <message id="cli.ArgumentsNotExpected">
        <source>Unerwartete Argumente: %1</source>
        <translation>The following arguments were not expected: %1</translation>
    </message>
    <message id="cli.OptionNeeds">
        <source>%1 braucht %2</source>
        <translation>%1 requires %2</translation>
    </message>
    <message id="cli.OptionExcludes">
        <source>%1 schließt %2 aus</source>
        <translation>%1 excludes %2</translation>
    </message>
    <message id="cli.ValueMissing">
        <source>%1: der Wert %3 fehlt (verlangt: %2)</source>
        <translation>%1: %2 required %3 missing</translation>
    </message>
    <message id="cli.TooManyValues">
        <source>%1: höchstens %2 Wert(e) erlaubt, %3 angegeben</source>
        <translation>%1: At Most %2 required but received %3</translation>
    </message>
    <message id="cli.ValueNotConverted">
        <source>%1: &quot;%2&quot; ist kein gültiger Wert</source>
        <translation>Could not convert: %1 = %2</translation>
    </message>
    <message id="cli.ValueOutOfRange">
        <source>%1: der Wert %2 liegt nicht zwischen %3 und %4</source>
        <translation>%1: Value %2 not in range %3 to %4</translation>
    </message>
    <message id="cli.ValueNotMember">
        <source>%1: %2 ist keiner der Werte %3</source>
        <translation>%1: %2 not in %3</translation>
    </message>
    <message id="cli.CannotWriteResult">
        <source>kann das Ergebnis nicht auf die Standardausgabe schreiben: %1</source>
        <translation>cannot write the result to standard output: %1</translation>
    </message>
    <message id="cli.OutputTakesNoMore">
        <source>sie nimmt keine Daten mehr an</source>
        <translation>it takes no more data</translation>
    </message>
    <message id="cli.NamesNotTaken">
        <source>%1: %2; es wurde nichts geschrieben</source>
        <translation>%1: %2; nothing was written</translation>
    </message>
    <message id="cli.PatternNotTaken">
        <source>%1; es wurde nichts geschrieben</source>
        <translation>%1; nothing was written</translation>
    </message>
    <message id="cli.SimulatorNotStarted">
        <source>der simulierte Pager konnte nicht gestartet werden</source>
        <translation>the simulated pager could not be started</translation>
    </message>
    <message id="cli.LearnLineDropped">
        <source>der Pager hat eine Zeile mit mehr als %1 Bytes gesendet; sie wurde verworfen, und der Lernmodus hört weiter zu</source>
        <translation>the pager sent a line longer than %1 bytes; it was dropped, and learn mode listens on</translation>
    </message>
    <message id="cli.NoFileWritten">
        <source>es wurde keine Datei geschrieben</source>
        <translation>no file was written</translation>
    </message>
    <message id="cli.NoFileWrittenFileLeft">
        <source>es wurde keine Datei geschrieben, %1 bleibt, wie sie war</source>
        <translation>no file was written, %1 is left as it was</translation>
    </message>
    <message id="cli.Interrupted">
        <source>unterbrochen</source>
        <translation>interrupted</translation>
    </message>
    <message id="cli.InterruptedLeaving">
        <source>unterbrochen; %1</source>
        <translation>interrupted; %1</translation>
    </message>
    <message id="cli.NoSerialPort">
        <source>dieses System hat keinen seriellen Port</source>
        <translation>this system has no serial port</translation>
    </message>
    <message id="cli.SearchNotFinished">
        <source>die Suche wurde nicht beendet</source>
        <translation>the search did not finish</translation>
    </message>
    <message id="cli.NothingRead">
        <source>es wurde nichts ausgelesen; %1 bleibt, wie sie war</source>
        <translation>nothing was read; %1 is left as it was</translation>
    </message>
    <message id="cli.PartialReadOutKept">
        <source>was der Pager geantwortet hat, steht in %1; %2 bleibt, wie sie war</source>
        <translation>what the pager answered is in %1; %2 is left as it was</translation>
    </message>
    <message id="cli.IncompleteFile">
        <source>%1 ist eine unvollständige Auslesung oder Konfiguration; ihr fehlt %2. --partial schreibt sie trotzdem, mit den Startwerten an ihrer Stelle</source>
        <translation>%1 is an incomplete read-out or configuration; it lacks %2. --partial writes it anyway, with the start values in their place</translation>
    </message>
    <message id="cli.BackupNeedsFolder">
        <source>--backup braucht den Sicherungsordner, und es gibt keinen (kein Home-Ordner, oder --no-backup)</source>
        <translation>--backup needs the backup folder, and there is none (no home folder, or --no-backup)</translation>
    </message>
    <message id="cli.NothingWrittenToPager">
        <source>in den Pager wurde nichts geschrieben</source>
        <translation>nothing was written to the pager</translation>
    </message>
    <message id="cli.ReadBackIncomplete">
        <source>der Pager ließ sich nicht vollständig zurücklesen; das Schreiben ist nicht geprüft</source>
        <translation>the pager could not be read back completely; the write is not verified</translation>
    </message>
    <message id="cli.PagerDiffersFromWrite">
        <source>der Pager enthält nicht, was geschrieben wurde</source>
        <translation>the pager does not hold what was written</translation>
    </message>
    <message id="cli.LearnNotTakenUp">
        <source>der Pager hat den Lernmodus nicht aufgenommen</source>
        <translation>the pager did not take up learn mode</translation>
    </message>
    <message id="cli.LearnModeForSlot">
        <source>Lernmodus für Platz %1: jetzt den Rufknopf drücken</source>
        <translation>learn mode for slot %1: press the call button now</translation>
    </message>
    <message id="cli.LearnWindowNotEnded">
        <source>das Lernfenster ist nicht zu Ende gegangen</source>
        <translation>the learn window did not end</translation>
    </message>
    <message id="cli.NothingLearned">
        <source>es wurde kein Rufknopf gelernt; %1 bleibt, wie sie war</source>
        <translation>no call button was learned; %1 is left as it was</translation>
    </message>
    <message id="cli.LeaveUnconfirmedNothingLearned">
        <source>der Pager hat das Verlassen des Lernmodus nicht bestätigt; es wurde kein Rufknopf gelernt; %1 bleibt, wie sie war</source>
        <translation>the pager did not confirm leaving learn mode; no call button was learned; %1 is left as it was</translation>
    </message>
    <message id="cli.MayStillLearn">
        <source>der Pager hat das Verlassen des Lernmodus nicht bestätigt; er ist vielleicht noch im Lernmodus</source>
        <translation>the pager did not confirm leaving learn mode; it may still be in learn mode</translation>
    </message>
    <message id="cli.PagerNameTooLong">
        <source>der Pager-Name darf höchstens %1 Zeichen aus dem Zeichensatz des Pagers haben</source>
        <translation>the pager name must be at most %1 characters of the pager&apos;s character set</translation>
    </message>
    <message id="cli.OptionLeft">
        <source>die Option bleibt, wie sie war</source>
        <translation>the option is left as it was</translation>
    </message>
    <message id="cli.SwitchMayNotBeTaken">
        <source>der Pager hat den Schaltbefehl vielleicht nicht übernommen</source>
        <translation>the pager may not have taken the switch</translation>
    </message>
    <message id="cli.SwitchNotConfirmed">
        <source>der Pager hat den Schaltbefehl nicht bestätigt</source>
        <translation>the pager did not confirm the switch</translation>
    </message>
    <message id="cli.ClockLeft">
        <source>die Uhr des Repeaters bleibt, wie sie war</source>
        <translation>the repeater&apos;s clock is left as it was</translation>
    </message>
    <message id="cli.NoRepeaterClock">
        <source>der Repeater hat nach der Suche seine Uhr nicht gemeldet; sie lässt sich nicht stellen</source>
        <translation>the repeater did not report its clock after the search; it cannot be set</translation>
    </message>
    <message id="cli.ClockMayNotBeTaken">
        <source>der Repeater hat die neue Zeit vielleicht nicht übernommen</source>
        <translation>the repeater may not have taken the new time</translation>
    </message>
    <message id="cli.ClockNotConfirmed">
        <source>der Repeater hat die neue Zeit nicht bestätigt</source>
        <translation>the repeater did not confirm the new time</translation>
    </message>
    <message id="cli.BootloaderNotStarted">
        <source>der Bootloader wurde nicht gestartet</source>
        <translation>the boot loader was not started</translation>
    </message>
    <message id="cli.BootloaderMayNotHaveStarted">
        <source>der Pager hat seinen Bootloader vielleicht nicht gestartet</source>
        <translation>the pager may not have started its boot loader</translation>
    </message>
    <message id="cli.BootloaderNotConfirmed">
        <source>der Pager hat den Start des Bootloaders nicht bestätigt</source>
        <translation>the pager did not confirm the boot loader start</translation>
    </message>
    <message id="cli.NothingCompared">
        <source>es wurde nichts verglichen</source>
        <translation>nothing was compared</translation>
    </message>
    <message id="cli.LacksNotCompared">
        <source>in %1 fehlt %2; nicht verglichen</source>
        <translation>%1 lacks %2; not compared</translation>
    </message>
    <message id="cli.PagerNotReadCompletely">
        <source>der Pager ließ sich nicht vollständig auslesen; %1</source>
        <translation>the pager could not be read completely; %1</translation>
    </message>
    <message id="cli.NotCompared">
        <source>nicht verglichen</source>
        <translation>not compared</translation>
    </message>
    <message id="cli.WriteNotVerified">
        <source>das Schreiben ist nicht geprüft</source>
        <translation>the write is not verified</translation>
    </message>
    <message id="cli.PartlyWritten">
        <source>der Pager ist nur zum Teil beschrieben</source>
        <translation>the pager is only partly written</translation>
    </message>
    <message id="cli.SmallPager">
        <source>der Pager hat %1 Plätze, ihm fehlt %2; %3</source>
        <translation>the pager has %1 slots and lacks %2; %3</translation>
    </message>
    <message id="cli.PagerDiffersFromFile">
        <source>der Pager enthält nicht, was %1 enthält</source>
        <translation>the pager does not hold what %1 holds</translation>
    </message>
    <message id="cli.BackupReadIncomplete">
        <source>der Pager ließ sich für die Sicherung nicht vollständig auslesen; es wurde nichts geschrieben</source>
        <translation>the pager could not be read completely for the backup; nothing was written</translation>
    </message>
    <message id="cli.NoWriteWithoutBackup">
        <source>ohne die Sicherung wurde nichts in den Pager geschrieben</source>
        <translation>without the backup nothing was written to the pager</translation>
    </message>
    <message id="cli.BackupKeptIn">
        <source>die Konfiguration des Pagers vor dem Schreiben ist gesichert in %1</source>
        <translation>the pager&apos;s configuration before the write is kept in %1</translation>
    </message>
    <message id="cli.NoBackupFolder">
        <source>es gibt keinen Sicherungsordner: weder XDG_DATA_HOME noch HOME ist gesetzt</source>
        <translation>there is no backup folder: neither XDG_DATA_HOME nor HOME is set</translation>
    </message>
    <message id="cli.NoBackupsIn">
        <source>keine Sicherungen in %1</source>
        <translation>no backups in %1</translation>
    </message>
    <message id="cli.FolderUnusable">
        <source>kann den Ordner %1 nicht verwenden</source>
        <translation>cannot use the folder %1</translation>
    </message>
    <message id="cli.SeparatorRefused">
        <source>--separator nimmt &quot;,&quot;, &quot;;&quot; oder &quot;t&quot; (einen Tabulator), nicht %1; es wurde nichts geschrieben</source>
        <translation>--separator takes &quot;,&quot;, &quot;;&quot; or &quot;t&quot; (a tab), not %1; nothing written</translation>
    </message>
    <message id="cli.ReadAsWindows1252">
        <source>%1 ist kein UTF-8; Zeichensatz beim Lesen: Windows-1252</source>
        <translation>%1 is not UTF-8; it is read as Windows-1252</translation>
    </message>
    <message id="cli.ImportProblem">
        <source>%1, Zeile %2, Spalte %3: %4</source>
        <translation>%1, line %2, column %3: %4</translation>
    </message>
    <message id="cli.ImportRefused">
        <source>es wurde nichts geschrieben: %1 Wert(e) in %2 passen nicht in eine Pager-Datei</source>
        <translation>nothing written: %1 value(s) in %2 cannot go into a pager file</translation>
    </message>
    <message id="cli.ImportIncomplete">
        <source>%1 ist eine unvollständige Konfiguration; ihr fehlt %2. Es wurde nichts geschrieben; --partial importiert sie trotzdem, mit den Startwerten an ihrer Stelle</source>
        <translation>%1 is an incomplete configuration; it lacks %2. Nothing was written; --partial imports it anyway, with the start values in their place</translation>
    </message>
    <message id="cli.ImportLacks">
        <source>in %1 fehlt %2; %3 enthält an ihrer Stelle die Startwerte</source>
        <translation>%1 lacks %2; %3 holds the start values in their place</translation>
    </message>
    <message id="cli.PagerNameLabel">
        <source>Pager-Name:</source>
        <translation>Pager name:</translation>
    </message>
    <message id="cli.RemoteDeleteTextLabel">
        <source>Fernlöschtext:</source>
        <translation>Remote delete text:</translation>
    </message>
    <message id="cli.BatteryLabel">
        <source>Batteriespannung:</source>
        <translation>Battery voltage:</translation>
    </message>
    <message id="cli.BuzzerLabel">
        <source>Summer:</source>
        <translation>Buzzer:</translation>
    </message>
    <message id="cli.RemoteDeleteLabel">
        <source>Fernlöschung:</source>
        <translation>Remote delete:</translation>
    </message>
    <message id="cli.SwitchedOn">
        <source>ein</source>
        <translation>on</translation>
    </message>
    <message id="cli.SwitchedOff">
        <source>aus</source>
        <translation>off</translation>
    </message>
    <message id="cli.CallerSlotsHeading">
        <source>Tischsender</source>
        <translation>Caller slots</translation>
    </message>
    <message id="cli.KitchenCallsHeading">
        <source>Küchenrufe</source>
        <translation>Kitchen calls</translation>
    </message>
    <message id="cli.NumberColumn">
        <source>Nr</source>
        <translation>No</translation>
    </message>
    <message id="cli.MessageTextColumn">
        <source>Meldetext</source>
        <translation>Message text</translation>
    </message>
    <message id="cli.CallerColumns">
        <source>Rufknopf-ID  b0  b1  b2  b3  Suffix</source>
        <translation>  Button ID  b0  b1  b2  b3  Suffix</translation>
    </message>
    <message id="cli.KitchenColumns">
        <source>Taste  Station</source>
        <translation>Key    Station</translation>
    </message>
    <message id="cli.SeriesWaiting">
        <source>wartet auf Pager an %1 Port(s) zugleich; Strg-C beendet die Serie</source>
        <translation>waiting for pagers on %1 port(s) at once; Ctrl-C ends the series</translation>
    </message>
    <message id="cli.SeriesProgress">
        <source>Serie: %1%2 %3, %4 fehlgeschlagen, %5 in Arbeit</source>
        <translation>series: %1%2 %3, %4 failed, %5 being served</translation>
    </message>
    <message id="cli.SeriesTimeLeft">
        <source>%1; noch etwa %2</source>
        <translation>%1; about %2 left</translation>
    </message>
    <message id="cli.SeriesPace">
        <source>%1; %2 je Pager</source>
        <translation>%1; %2 per pager</translation>
    </message>
    <message id="cli.SeriesSummary">
        <source>%1 Pager, %2 fehlgeschlagen, in %3</source>
        <translation>%1 pager(s), %2 failed, in %3</translation>
    </message>
    <message id="cli.SeriesSummaryPace">
        <source>%1: %2 je Pager</source>
        <translation>%1: %2 per pager</translation>
    </message>
    <message id="cli.SeriesSummaryFailure">
        <source>  fehlgeschlagen: %1</source>
        <translation>  failed: %1</translation>
    </message>
    <message id="cli.FailureOnPort">
        <source>%1 %2 an %3: %4</source>
        <translation>%1 %2 on %3: %4</translation>
    </message>
    <message id="cli.LogNotWritable">
        <source>kann das Protokoll %1 nicht schreiben: %2</source>
        <translation>cannot write the log %1: %2</translation>
    </message>
    <message id="cli.LogFailedSeriesEnds">
        <source>kann das Protokoll %1 nicht schreiben: %2; die Serie endet nach den Pagern, die gerade bedient werden</source>
        <translation>cannot write the log %1: %2; the series ends after the pagers at hand</translation>
    </message>
    <message id="cli.LogIsFolder">
        <source>es ist ein Ordner</source>
        <translation>it is a folder</translation>
    </message>
    <message id="cli.LogIsFifo">
        <source>es ist ein FIFO, keine gewöhnliche Datei</source>
        <translation>it is a FIFO, not a regular file</translation>
    </message>
    <message id="cli.LogIsDevice">
        <source>es ist ein Gerät, keine gewöhnliche Datei</source>
        <translation>it is a device, not a regular file</translation>
    </message>
    <message id="cli.LogIsNoFile">
        <source>es ist keine gewöhnliche Datei</source>
        <translation>it is not a regular file</translation>
    </message>
    <message id="cli.SeriesEndsAfterThis">
        <source>die Serie endet nach diesem Pager; ein weiteres Strg-C hält sofort an</source>
        <translation>the series ends after this pager; Ctrl-C again stops now</translation>
    </message>
    <message id="cli.WaitingForPager">
        <source>wartet auf einen Pager</source>
        <translation>waiting for a pager</translation>
    </message>
    <message id="cli.SeriesNumbersTaken">
        <source>jeder Pager der Serie ist geschrieben oder in Arbeit; dieser bleibt, wie er ist</source>
        <translation>every pager of the series is written or being served; this one is left as it is</translation>
    </message>
    <message id="cli.TakePagerOff">
        <source>den Pager abnehmen</source>
        <translation>take the pager off</translation>
    </message>
    <message id="cli.PagerGone">
        <source>der Pager ist fort; den nächsten anstecken</source>
        <translation>the pager is gone; plug in the next one</translation>
    </message>
    <message id="cli.LaneEnded">
        <source>beendet</source>
        <translation>ended</translation>
    </message>
    <message id="cli.StepSearching">
        <source>sucht</source>
        <translation>searching</translation>
    </message>
    <message id="cli.StepProgress">
        <source>%1 %2 %3 %, noch %4</source>
        <translation>%1 %2 %3 %, %4 left</translation>
    </message>
    <message id="cli.SeriesEnds">
        <source>%1; die Serie endet</source>
        <translation>%1; the series ends</translation>
    </message>
    <message id="cli.GoneBeforeServed">
        <source>der Pager war fort, bevor er bedient werden konnte</source>
        <translation>the pager was gone before it could be served</translation>
    </message>
    <message id="cli.CameBackTooSoon">
        <source>ein Pager war nach einer Probe wieder da: ist es der nächste, ihn zwei Sekunden abnehmen und wieder anstecken</source>
        <translation>a pager came back after one probe: if it is the next one, take it off for two seconds and plug it in again</translation>
    </message>
    <message id="cli.StillOnLine">
        <source>der Pager ist noch an der Leitung; der nächste wird bedient, sobald er zwei Proben lang fort war</source>
        <translation>the pager is still on the line; the next is served once it has been off for two probes</translation>
    </message>
    <message id="cli.StepKeepingBackup">
        <source>sichert</source>
        <translation>keeping a backup</translation>
    </message>
    <message id="cli.StepReadingName">
        <source>liest seinen Namen</source>
        <translation>reading its name</translation>
    </message>
    <message id="cli.StepWritingReadingBack">
        <source>schreibt und liest zurück</source>
        <translation>writing and reading back</translation>
    </message>
    <message id="cli.StepWriting">
        <source>schreibt</source>
        <translation>writing</translation>
    </message>
    <message id="cli.StepReading">
        <source>liest</source>
        <translation>reading</translation>
    </message>
    <message id="cli.DoneWritten">
        <source>geschrieben</source>
        <translation>written</translation>
    </message>
    <message id="cli.DoneRead">
        <source>ausgelesen</source>
        <translation>read</translation>
    </message>
    <message id="cli.ResultOk">
        <source>ok</source>
        <translation>ok</translation>
    </message>
    <message id="cli.ResultOkVerified">
        <source>ok, geprüft</source>
        <translation>ok, verified</translation>
    </message>
    <message id="cli.ResultOkFile">
        <source>ok %1</source>
        <translation>ok %1</translation>
    </message>
    <message id="cli.ResultFailed">
        <source>fehlgeschlagen: %1</source>
        <translation>failed: %1</translation>
    </message>
    <message id="cli.ResultInterrupted">
        <source>unterbrochen: %1</source>
        <translation>interrupted: %1</translation>
    </message>
    <message id="cli.NoBackupNotWritten">
        <source>keine Sicherung, nicht geschrieben</source>
        <translation>no backup, not written</translation>
    </message>
    <message id="cli.GoneAfterBackup">
        <source>nach der Sicherung fort, nicht geschrieben</source>
        <translation>gone after the backup, not written</translation>
    </message>
    <message id="cli.NameNotRead">
        <source>sein Name ließ sich nicht lesen; nicht geschrieben</source>
        <translation>its name could not be read; not written</translation>
    </message>
    <message id="cli.PartlyWrittenPlugAgain">
        <source>zum Teil geschrieben: wieder anstecken</source>
        <translation>partly written: plug it in again</translation>
    </message>
    <message id="cli.NotWritten">
        <source>nicht geschrieben</source>
        <translation>not written</translation>
    </message>
    <message id="cli.WriteNotAcknowledged">
        <source>das Schreiben wurde nicht quittiert; %1</source>
        <translation>the write was not acknowledged; %1</translation>
    </message>
    <message id="cli.ReadBackWasIncomplete">
        <source>das Zurücklesen war unvollständig</source>
        <translation>the read-back was incomplete</translation>
    </message>
    <message id="cli.PagerDiffersAt">
        <source>der Pager enthält nicht, was geschrieben wurde (%1)</source>
        <translation>the pager does not hold what was written (%1)</translation>
    </message>
    <message id="cli.ConfigurationRefused">
        <source>die Konfiguration enthält, was kein Pager aufnehmen kann</source>
        <translation>the configuration holds what no pager can</translation>
    </message>
    <message id="cli.NothingKept">
        <source>nichts behalten</source>
        <translation>nothing kept</translation>
    </message>
    <message id="cli.ReadOutIncompleteNothingSaved">
        <source>die Auslesung war unvollständig, nichts im Ordner gespeichert</source>
        <translation>the read-out was incomplete, nothing saved in the folder</translation>
    </message>
    <message id="cli.ReadOutNotSaved">
        <source>die Auslesung ließ sich nicht im Ordner speichern</source>
        <translation>the read-out could not be saved in the folder</translation>
    </message>
    <message id="cli.NamesLine">
        <source>Zeile %1: %2</source>
        <translation>line %1: %2</translation>
    </message>
    <message id="cli.NamesLineEmpty">
        <source>Zeile %1: kein Name; jede Zeile nennt einen Pager</source>
        <translation>line %1: no name; every line names one pager</translation>
    </message>
    <message id="cli.NamesLineNotWindows1252">
        <source>Zeile %1: der Name &quot;%2&quot; enthält ein Zeichen, das Windows-1252 nicht kennt</source>
        <translation>line %1: the name &quot;%2&quot; holds a character that Windows-1252 lacks</translation>
    </message>
    <message id="cli.NamesNone">
        <source>die Liste nennt keinen Pager</source>
        <translation>it names no pager</translation>
    </message>
    <message id="cli.PatternBraces">
        <source>das Namensmuster &quot;%1&quot; braucht genau ein {n} oder {n:0W} (W von 1 bis 9) und keine anderen geschweiften Klammern</source>
        <translation>the name pattern &quot;%1&quot; needs one {n} or {n:0W} (W from 1 to 9) and no other braces</translation>
    </message>
    <message id="cli.PatternNotWindows1252">
        <source>das Namensmuster &quot;%1&quot; enthält ein Zeichen, das Windows-1252 nicht kennt</source>
        <translation>the name pattern &quot;%1&quot; holds a character that Windows-1252 lacks</translation>
    </message>
    <message id="cli.NamesListTooShort">
        <source>die Liste hat keinen Namen %1</source>
        <translation>the list has no name %1</translation>
    </message>
    <message id="cli.PatternNameProblem">
        <source>der Name des Namensmusters für %1: %2</source>
        <translation>the name pattern&apos;s name for %1: %2</translation>
    </message>
</context>
<context>
    <name>device</name>
    <message id="device.LearnTimeOneSecond">
        <source>Lernzeit:%1 Sekunde</source>
        <translation>Learn time:%1 second</translation>
    </message>
    <message id="device.LearnTimeSeconds">
        <source>Lernzeit:%1 Sekunden</source>
        <translation>Learn time:%1 seconds</translation>
    </message>
    <message id="device.LearnTimeRanOut">
        <source>Lernzeit abgelaufen, kein Rufknopf empfangen</source>
        <translation>Learn time over, no call button received</translation>
    </message>
    <message id="device.RepeaterTimeError">
        <source>Error</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>files</name>
    <message id="files.NotRegularFile">
        <source>Das ist keine gewöhnliche Datei</source>
        <translation>This is not a regular file</translation>
    </message>
    <message id="files.IsDirectory">
        <source>Das ist ein Verzeichnis</source>
        <translation>This is a folder</translation>
    </message>
    <message id="files.DanglingLink">
        <source>Der Verweis zeigt auf keine vorhandene Datei</source>
        <translation>The link points to no existing file</translation>
    </message>
    <message id="files.MadeUpNameIsLink">
        <source>Der Name ist ein Verweis auf eine andere Datei; durch ihn wird nicht geschrieben</source>
        <translation>The name is a link to another file; nothing is written through it</translation>
    </message>
    <message id="files.TooLarge">
        <source>Die Datei ist zu groß für Pager-Daten (mehr als %1 KB)</source>
        <translation>The file is too large for pager data (more than %1 KB)</translation>
    </message>
    <message id="files.NotFound">
        <source>Datei oder Verzeichnis nicht gefunden</source>
        <translation>File or folder not found</translation>
    </message>
    <message id="files.AccessDenied">
        <source>Zugriff verweigert</source>
        <translation>Access denied</translation>
    </message>
    <message id="files.DiskFull">
        <source>Kein Speicherplatz mehr auf dem Datenträger</source>
        <translation>No space left on the drive</translation>
    </message>
    <message id="files.WriteProtected">
        <source>Der Datenträger ist schreibgeschützt</source>
        <translation>The drive is write-protected</translation>
    </message>
    <message id="files.PartNotDirectory">
        <source>Ein Teil des Pfades ist kein Verzeichnis</source>
        <translation>Part of the path is not a folder</translation>
    </message>
    <message id="files.NameTooLong">
        <source>Der Dateiname ist zu lang</source>
        <translation>The file name is too long</translation>
    </message>
    <message id="files.BeyondSystemSize">
        <source>Die Datei würde größer, als das System erlaubt</source>
        <translation>The file would be larger than the system allows</translation>
    </message>
    <message id="files.InputOutputError">
        <source>Ein-/Ausgabefehler</source>
        <translation>Input/output error</translation>
    </message>
    <message id="files.TooManyOpenFiles">
        <source>Zu viele offene Dateien</source>
        <translation>Too many open files</translation>
    </message>
    <message id="files.InUse">
        <source>Die Datei wird von einem anderen Programm verwendet</source>
        <translation>The file is in use by another program</translation>
    </message>
    <message id="files.DriveNotReady">
        <source>Das Laufwerk ist nicht bereit</source>
        <translation>The drive is not ready</translation>
    </message>
    <message id="files.InvalidName">
        <source>Der Dateiname ist ungültig</source>
        <translation>The file name is not valid</translation>
    </message>
    <message id="files.SystemError">
        <source>Systemfehler %1</source>
        <translation>System error %1</translation>
    </message>
    <message id="files.WriteError">
        <source>Schreibfehler</source>
        <translation>Write error</translation>
    </message>
    <message id="files.BackupFolderNotMade">
        <source>Der Ordner %1 kann nicht angelegt werden.</source>
        <translation>The folder %1 cannot be created.</translation>
    </message>
    <message id="files.FileLineProblem">
        <source>Zeile %1: %2</source>
        <translation>line %1: %2</translation>
    </message>
    <message id="files.NamedFileLineProblem">
        <source>%1, Zeile %2: %3</source>
        <translation>%1, line %2: %3</translation>
    </message>
    <message id="files.DifferenceLine">
        <source>%1 %2: %3 &quot;%4&quot;, %5 &quot;%6&quot;</source>
        <translation>%1 %2: %3 &quot;%4&quot;, %5 &quot;%6&quot;</translation>
    </message>
    <message id="files.SlotPlace">
        <source>Platz %1</source>
        <translation>Slot %1</translation>
    </message>
    <message id="files.KitchenCallPlace">
        <source>Küchenruf %1</source>
        <translation>Kitchen call %1</translation>
    </message>
    <message id="files.SettingsPlace">
        <source>Einstellungen</source>
        <translation>Settings</translation>
    </message>
    <message id="files.TextField">
        <source>Meldetext</source>
        <translation>text</translation>
    </message>
    <message id="files.IdentityField">
        <source>Rufknopf-ID</source>
        <translation>call button ID</translation>
    </message>
    <message id="files.IdentityBytesField">
        <source>Rufknopf-Bytes</source>
        <translation>call button bytes</translation>
    </message>
    <message id="files.KeyField">
        <source>Taste</source>
        <translation>key</translation>
    </message>
    <message id="files.StationField">
        <source>Station</source>
        <translation>station</translation>
    </message>
    <message id="files.PagerNameField">
        <source>Pager-Name</source>
        <translation>Pager name</translation>
    </message>
    <message id="files.RemoteDeleteTextField">
        <source>Fernlöschtext</source>
        <translation>Remote-delete text</translation>
    </message>
    <message id="files.BatteryField">
        <source>Batteriespannung</source>
        <translation>Battery voltage</translation>
    </message>
    <message id="files.BuzzerField">
        <source>Summer</source>
        <translation>Buzzer</translation>
    </message>
    <message id="files.RemoteDeleteField">
        <source>Fernlöschung</source>
        <translation>Remote delete</translation>
    </message>
    <message id="files.SwitchOn">
        <source>ein</source>
        <translation>on</translation>
    </message>
    <message id="files.SwitchOff">
        <source>aus</source>
        <translation>off</translation>
    </message>
    <message id="files.FormSide">
        <source>Formular</source>
        <translation>Form</translation>
    </message>
    <message id="files.PagerSide">
        <source>Pager</source>
        <translation>Pager</translation>
    </message>
    <message id="files.FileSide">
        <source>Datei</source>
        <translation>File</translation>
    </message>
    <message id="files.FirstFileSide">
        <source>Datei 1</source>
        <translation>File 1</translation>
    </message>
    <message id="files.SecondFileSide">
        <source>Datei 2</source>
        <translation>File 2</translation>
    </message>
    <message id="files.SheetTitle">
        <source>Konfiguration %1</source>
        <translation>Configuration %1</translation>
    </message>
    <message id="files.SheetHeading">
        <source>Zelvatron-Pager: Konfiguration</source>
        <translation>Zelvatron Pager: Configuration</translation>
    </message>
    <message id="files.SheetPagerName">
        <source>Pager-Name</source>
        <translation>Pager name</translation>
    </message>
    <message id="files.SheetRemoteDeleteText">
        <source>Fernlöschtext</source>
        <translation>Remote-delete text</translation>
    </message>
    <message id="files.SheetBattery">
        <source>Batteriespannung</source>
        <translation>Battery voltage</translation>
    </message>
    <message id="files.SheetBuzzer">
        <source>Summer</source>
        <translation>Buzzer</translation>
    </message>
    <message id="files.SheetRemoteDelete">
        <source>Fernlöschung</source>
        <translation>Remote delete</translation>
    </message>
    <message id="files.SheetCallers">
        <source>Tischsender</source>
        <translation>Caller slots</translation>
    </message>
    <message id="files.SheetKitchenCalls">
        <source>Küchenrufe</source>
        <translation>Kitchen calls</translation>
    </message>
    <message id="files.SheetSlot">
        <source>Platz</source>
        <translation>Slot</translation>
    </message>
    <message id="files.SheetText">
        <source>Meldetext</source>
        <translation>Text</translation>
    </message>
    <message id="files.SheetIdentity">
        <source>Rufknopf-ID</source>
        <translation>Call button ID</translation>
    </message>
    <message id="files.SheetKey">
        <source>Taste</source>
        <translation>Key</translation>
    </message>
    <message id="files.SheetStation">
        <source>Station</source>
        <translation>Station</translation>
    </message>
    <message id="files.OneEmptySlotLeftOut">
        <source>%1 leerer Platz nicht aufgeführt.</source>
        <translation>%1 empty slot not listed.</translation>
    </message>
    <message id="files.EmptySlotsLeftOut">
        <source>%1 leere Plätze nicht aufgeführt.</source>
        <translation>%1 empty slots not listed.</translation>
    </message>
    <message id="files.OneKitchenCallLeftOut">
        <source>%1 Küchenruf nicht aufgeführt: leer oder wie beim Start („Station N“ auf Taste N, Station 1).</source>
        <translation>%1 kitchen call not listed: empty or as at start (&quot;Station N&quot; on key N, station 1).</translation>
    </message>
    <message id="files.KitchenCallsLeftOut">
        <source>%1 Küchenrufe nicht aufgeführt: leer oder wie beim Start („Station N“ auf Taste N, Station 1).</source>
        <translation>%1 kitchen calls not listed: empty or as at start (&quot;Station N&quot; on key N, station 1).</translation>
    </message>
    <message id="files.SheetFoot">
        <source>Datei: %1 · Stand: %2 · Harvelin %3</source>
        <translation>File: %1 · As of: %2 · Harvelin %3</translation>
    </message>
    <message id="files.NotSaved">
        <source>nicht gespeichert</source>
        <translation>not saved</translation>
    </message>
    <message id="files.NotShowableCell">
        <source>%1 enthält ein Zeichen, das der Pager nicht anzeigen kann</source>
        <translation>%1 holds a character that the pager cannot show</translation>
    </message>
    <message id="files.NeitherOnNorOff">
        <source>%1 ist weder on noch off</source>
        <translation>%1 is neither on nor off</translation>
    </message>
    <message id="files.CellMustBeEmpty">
        <source>eine Zeile der Art %1 hat keinen Wert für %2; die Zelle muss leer sein</source>
        <translation>a %1 row has no %2; the cell must be empty</translation>
    </message>
    <message id="files.IdentityMismatch">
        <source>Rufknopf-ID %1 passt nicht zu den fünf Bytes, die &quot;%2&quot; ergeben</source>
        <translation>identity %1 does not match the five bytes, which give &quot;%2&quot;</translation>
    </message>
    <message id="files.NoSuchSetting">
        <source>keine Einstellung heißt %1%2</source>
        <translation>no setting is called %1%2</translation>
    </message>
    <message id="files.ColumnOutOfPlace">
        <source>die Spalte &quot;%1&quot; steht, wo &quot;%2&quot; hingehört; die Kopfzeile ist &quot;%3&quot;</source>
        <translation>column &quot;%1&quot; stands where &quot;%2&quot; belongs; the header is &quot;%3&quot;</translation>
    </message>
    <message id="files.NoSuchColumn">
        <source>keine Spalte heißt %1%2</source>
        <translation>no column is called %1%2</translation>
    </message>
    <message id="files.HeaderColumns">
        <source>die Kopfzeile hat %1 Spalten; erwartet werden %2: &quot;%3&quot;</source>
        <translation>the header has %1 columns; %2 are expected: &quot;%3&quot;</translation>
    </message>
    <message id="files.DidYouMean">
        <source>; meinten Sie &quot;%1&quot;?</source>
        <translation>; did you mean &quot;%1&quot;?</translation>
    </message>
    <message id="files.NoHeader">
        <source>die erste Zeile ist nicht die Kopfzeile &quot;%1&quot;</source>
        <translation>the first line is not the header &quot;%1&quot;</translation>
    </message>
    <message id="files.RowColumns">
        <source>die Zeile hat %1 Spalten; erwartet werden %2, wie in der Kopfzeile</source>
        <translation>the row has %1 columns; %2 are expected, as in the header</translation>
    </message>
    <message id="files.NoSuchKind">
        <source>%1 ist keine der Arten caller, kitchen, setting%2</source>
        <translation>%1 is none of caller, kitchen, setting%2</translation>
    </message>
    <message id="files.AppearsAlready">
        <source>%1; steht schon in Zeile %2</source>
        <translation>%1; it appears already on line %2</translation>
    </message>
    <message id="files.SettingTwice">
        <source>die Einstellung %1 ist doppelt angegeben</source>
        <translation>setting %1 is given twice</translation>
    </message>
    <message id="files.NestedTooDeep">
        <source>das JSON ist tiefer als %1 Ebenen verschachtelt</source>
        <translation>the JSON is nested deeper than %1 levels</translation>
    </message>
    <message id="files.NoSuchKey">
        <source>kein Schlüssel heißt %1%2</source>
        <translation>no key is called %1%2</translation>
    </message>
    <message id="files.NoQuotedText">
        <source>%1 ist kein Text in Anführungszeichen</source>
        <translation>%1 is no text in quotes</translation>
    </message>
    <message id="files.NoNumberUpTo">
        <source>%1 ist keine Zahl von 0 bis %2</source>
        <translation>%1 is not a number from 0 to %2</translation>
    </message>
    <message id="files.NeitherTrueNorFalse">
        <source>%1 ist weder true noch false</source>
        <translation>%1 is neither true nor false</translation>
    </message>
    <message id="files.ListOfSlotsExpected">
        <source>erwartet wird eine Liste von Plätzen in eckigen Klammern</source>
        <translation>a list of slots in brackets is expected</translation>
    </message>
    <message id="files.SlotInBracesExpected">
        <source>erwartet wird ein Platz in geschweiften Klammern</source>
        <translation>a slot in braces is expected</translation>
    </message>
    <message id="files.EmptyJson">
        <source>erwartet wird ein JSON-Objekt, aber der Text ist leer</source>
        <translation>a JSON object is expected, but the text is empty</translation>
    </message>
    <message id="files.ObjectNotList">
        <source>erwartet wird ein JSON-Objekt in geschweiften Klammern, keine Liste</source>
        <translation>a JSON object in braces is expected, not a list</translation>
    </message>
    <message id="files.ObjectNotValue">
        <source>erwartet wird ein JSON-Objekt in geschweiften Klammern, kein einzelner Wert</source>
        <translation>a JSON object in braces is expected, not a single value</translation>
    </message>
    <message id="files.KeyAppearsAlready">
        <source>der Schlüssel %1 steht schon in Zeile %2, Spalte %3</source>
        <translation>the key %1 appears already on line %2, column %3</translation>
    </message>
    <message id="files.AList">
        <source>eine Liste</source>
        <translation>a list</translation>
    </message>
    <message id="files.AnObject">
        <source>ein Objekt</source>
        <translation>an object</translation>
    </message>
</context>
<context>
    <name>link</name>
    <message id="link.CheckingPort">
        <source>Prüfe :%1</source>
        <translation>Checking port %1</translation>
    </message>
    <message id="link.PagerFoundAt">
        <source>Pager an Port:%1 gefunden</source>
        <translation>Pager found on port %1</translation>
    </message>
    <message id="link.NothingFound">
        <source>Kein Zelvatron gefunden</source>
        <translation>No Zelvatron found</translation>
    </message>
    <message id="link.NoDevice">
        <source>%1: Gerät nicht vorhanden (Adapter abgezogen oder falscher Name?).</source>
        <translation>%1: device not present (adapter unplugged or wrong name?).</translation>
    </message>
    <message id="link.NoPermission">
        <source>%1: keine Berechtigung.</source>
        <translation>%1: permission denied.</translation>
    </message>
    <message id="link.OnlyOwner">
        <source> Nur sein Besitzer darf es öffnen; bitte die Zugriffsrechte des Geräts prüfen.</source>
        <translation> Only its owner may open it; please check the device&apos;s access rights.</translation>
    </message>
    <message id="link.GroupOwns">
        <source> Das Gerät gehört der Gruppe &quot;%1&quot;.</source>
        <translation> The device belongs to the group &quot;%1&quot;.</translation>
    </message>
    <message id="link.AlreadyMember">
        <source> Sie sind bereits Mitglied dieser Gruppe; das gilt erst nach dem nächsten Anmelden. Abhilfe: ab- und wieder anmelden.</source>
        <translation> You are a member of this group already; that holds from the next login. Remedy: log out and in again.</translation>
    </message>
    <message id="link.JoinGroup">
        <source> Abhilfe: in diese Gruppe eintreten (sudo usermod -aG %1 $USER), dann ab- und wieder anmelden.</source>
        <translation> Remedy: join this group (sudo usermod -aG %1 $USER), then log out and in again.</translation>
    </message>
    <message id="link.BusyOther">
        <source>%1: belegt von einem anderen Programm.</source>
        <translation>%1: in use by another program.</translation>
    </message>
    <message id="link.BusyHolder">
        <source>%1: belegt von %2. Abhilfe: dieses Programm beenden.</source>
        <translation>%1: in use by %2. Remedy: quit this program.</translation>
    </message>
    <message id="link.NotSerial">
        <source>%1: keine serielle Schnittstelle.</source>
        <translation>%1: not a serial port.</translation>
    </message>
    <message id="link.ModemManagerRuns">
        <source>ModemManager läuft; er öffnet neu eingesteckte USB-Seriell-Adapter, um nach einem Modem zu fragen, und hält sie dabei belegt. Abhilfe: den Adapter kurz danach erneut suchen oder ModemManager beenden (sudo systemctl stop ModemManager).</source>
        <translation>ModemManager is running; it opens USB serial adapters as they are plugged in to look for a modem, and holds them meanwhile. Remedy: search again shortly after, or stop ModemManager (sudo systemctl stop ModemManager).</translation>
    </message>
    <message id="link.BrlttyRuns">
        <source>brltty läuft; es übernimmt manche USB-Seriell-Adapter als Braillezeile, die dann verschwinden. Abhilfe: ohne Braillezeile brltty entfernen (sudo apt remove brltty) und den Adapter neu einstecken.</source>
        <translation>brltty is running; it takes some USB serial adapters for a braille display, and they vanish. Remedy: without a braille display, remove brltty (sudo apt remove brltty) and plug the adapter in again.</translation>
    </message>
    <message id="link.PortsNotOpened">
        <source>%1. Diese Ports ließen sich nicht öffnen:</source>
        <translation>%1. These ports could not be opened:</translation>
    </message>
    <message id="link.NoSerialPort">
        <source>%1: Dieser Rechner hat keine serielle Schnittstelle. Bitte den Zelvatron über einen USB-Seriell-Adapter anschließen und erneut suchen.</source>
        <translation>%1: This computer has no serial port. Please connect the Zelvatron through a USB serial adapter and search again.</translation>
    </message>
</context>
<context>
    <name>model</name>
    <message id="model.CallerTextField">
        <source>Meldetext</source>
        <translation>caller text</translation>
    </message>
    <message id="model.KitchenTextField">
        <source>Meldetext des Küchenrufs</source>
        <translation>kitchen text</translation>
    </message>
    <message id="model.PagerNameField">
        <source>Pager-Name</source>
        <translation>pager name</translation>
    </message>
    <message id="model.RemoteDeleteTextField">
        <source>Fernlöschtext</source>
        <translation>remote-delete text</translation>
    </message>
    <message id="model.IdentityByteField">
        <source>Rufknopf-Byte</source>
        <translation>identity byte</translation>
    </message>
    <message id="model.KeyField">
        <source>Taste</source>
        <translation>key</translation>
    </message>
    <message id="model.StationField">
        <source>Station</source>
        <translation>station</translation>
    </message>
    <message id="model.SwitchField">
        <source>Schalterwert</source>
        <translation>switch value</translation>
    </message>
    <message id="model.CallerSlotField">
        <source>Tischsender-Platz</source>
        <translation>caller slot</translation>
    </message>
    <message id="model.KitchenSlotField">
        <source>Küchenruf-Platz</source>
        <translation>kitchen slot</translation>
    </message>
    <message id="model.LineField">
        <source>Zeile</source>
        <translation>line</translation>
    </message>
    <message id="model.ValueField">
        <source>Wert</source>
        <translation>value</translation>
    </message>
    <message id="model.NotANumber">
        <source>%1 &quot;%2&quot; ist keine Zahl von %3 bis %4</source>
        <translation>%1 &quot;%2&quot; is not a number from %3 to %4</translation>
    </message>
    <message id="model.OutOfRange">
        <source>%1 &quot;%2&quot; ist keine Zahl von %3 bis %4</source>
        <translation>%1 %2 is not a number from %3 to %4</translation>
    </message>
    <message id="model.TooLong">
        <source>%1 &quot;%2&quot; ist länger als %3 Zeichen</source>
        <translation>%1 &quot;%2&quot; is longer than %3 characters</translation>
    </message>
    <message id="model.ControlCharacter">
        <source>%1 &quot;%2&quot; enthält das Steuerzeichen %3</source>
        <translation>%1 &quot;%2&quot; holds the control character %3</translation>
    </message>
    <message id="model.NotShowable">
        <source>%1 &quot;%2&quot; enthält das Byte %3, das der Pager nicht anzeigen kann</source>
        <translation>%1 &quot;%2&quot; holds the byte %3, which is no Windows-1252 character</translation>
    </message>
    <message id="model.NotASwitchValue">
        <source>%1 &quot;%2&quot; ist weder %3 noch %4</source>
        <translation>%1 &quot;%2&quot; is neither %3 nor %4</translation>
    </message>
    <message id="model.TextGivenTwice">
        <source>%1 &quot;%2&quot; ist doppelt angegeben</source>
        <translation>%1 &quot;%2&quot; is given twice</translation>
    </message>
    <message id="model.NumberGivenTwice">
        <source>%1 &quot;%2&quot; ist doppelt angegeben</source>
        <translation>%1 %2 is given twice</translation>
    </message>
    <message id="model.WrongCount">
        <source>%1: %2 Zahlen nach dem Tabulator statt %3</source>
        <translation>%1 holds %2 numbers after its TAB, not %3</translation>
    </message>
    <message id="model.EitherCount">
        <source>%1 oder %2</source>
        <translation>%1 or %2</translation>
    </message>
    <message id="model.MixedEncoding">
        <source>UTF-8 und Windows-1252 gemischt</source>
        <translation>mixes UTF-8 and Windows-1252</translation>
    </message>
    <message id="model.NotAllowed">
        <source>%1 &quot;%2&quot; ist nicht zulässig</source>
        <translation>%1 &quot;%2&quot; is not allowed</translation>
    </message>
    <message id="model.CallerSlotProblem">
        <source>Tischsender %1: %2</source>
        <translation>caller slot %1: %2</translation>
    </message>
    <message id="model.KitchenSlotProblem">
        <source>Küchenruf %1: %2</source>
        <translation>kitchen call %1: %2</translation>
    </message>
    <message id="model.LacksPagerName">
        <source>Pager-Name</source>
        <translation>the pager name</translation>
    </message>
    <message id="model.LacksRemoteDeleteText">
        <source>Fernlöschtext</source>
        <translation>the remote-delete text</translation>
    </message>
    <message id="model.LacksRemoteDeleteMode">
        <source>Fernlöschung</source>
        <translation>the remote-delete switch</translation>
    </message>
    <message id="model.LacksBuzzer">
        <source>Summer</source>
        <translation>the buzzer switch</translation>
    </message>
    <message id="model.LacksBattery">
        <source>Batteriespannung</source>
        <translation>the battery switch</translation>
    </message>
    <message id="model.LacksCallerSlots">
        <source>Tischsender %1</source>
        <translation>caller slots %1</translation>
    </message>
    <message id="model.LacksKitchenCalls">
        <source>Küchenrufe %1</source>
        <translation>kitchen calls %1</translation>
    </message>
    <message id="model.LacksWithKey">
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message id="model.CommitUnknown">
        <source>Commit unbekannt</source>
        <translation>Commit unknown</translation>
    </message>
    <message id="model.CommitLine">
        <source>Commit %1</source>
        <translation>Commit %1</translation>
    </message>
    <message id="model.CommitWithChanges">
        <source>Commit %1 mit Änderungen</source>
        <translation>Commit %1 with changes</translation>
    </message>
</context>
<context>
    <name>transfer</name>
    <message id="transfer.NoConnection">
        <source>Es besteht keine Verbindung zum Zelvatron!</source>
        <translation>There is no connection to the Zelvatron!</translation>
    </message>
    <message id="transfer.ReadCancelled">
        <source>Lesen abgebrochen – die Daten im Formular sind unverändert.</source>
        <translation>Reading cancelled – the data in the form are unchanged.</translation>
    </message>
    <message id="transfer.WriteCancelled">
        <source>Übertragung abgebrochen – der Pager ist nur teilweise beschrieben.</source>
        <translation>Transfer cancelled – the pager is only partly written.</translation>
    </message>
    <message id="transfer.WriteCancelledUntouched">
        <source>Übertragung abgebrochen – der Pager ist unverändert.</source>
        <translation>Transfer cancelled – the pager is unchanged.</translation>
    </message>
    <message id="transfer.SmallPager">
        <source>Der Pager hat nur 16 Speicherplätze: Plätze 17 bis 32 und die Küchenrufe wurden nicht übertragen.</source>
        <translation>The pager has only 16 slots: slots 17 to 32 and the kitchen calls were not transferred.</translation>
    </message>
    <message id="transfer.WriteNotVerified">
        <source>Daten übertragen, aber nicht geprüft: der Pager wurde nicht vollständig gelesen.</source>
        <translation>Data transferred but not checked: the pager could not be read in full.</translation>
    </message>
    <message id="transfer.Agree">
        <source>Pager und Formular stimmen überein</source>
        <translation>Pager and form agree</translation>
    </message>
    <message id="transfer.Differs">
        <source>Pager und Formular unterscheiden sich:</source>
        <translation>Pager and form differ:</translation>
    </message>
    <message id="transfer.WrittenButDiffers">
        <source>Daten übertragen, aber der Pager hält nicht, was das Formular zeigt:</source>
        <translation>Data transferred, but the pager does not hold what the form shows:</translation>
    </message>
    <message id="transfer.SmallPagerNotCompared">
        <source>Der Pager hat nur 16 Speicherplätze: Plätze 17 bis 32, die Küchenrufe und die Fernlöschung wurden nicht verglichen.</source>
        <translation>The pager has only 16 slots: slots 17 to 32, the kitchen calls and remote delete were not compared.</translation>
    </message>
    <message id="transfer.CallerStep">
        <source>Tischsender %1</source>
        <translation>caller slot %1</translation>
    </message>
    <message id="transfer.KitchenStep">
        <source>Küchenruf %1</source>
        <translation>kitchen call %1</translation>
    </message>
    <message id="transfer.RemoteDeleteModeStep">
        <source>Fernlöschung</source>
        <translation>remote delete</translation>
    </message>
    <message id="transfer.RemoteDeleteTextStep">
        <source>Fernlöschtext</source>
        <translation>remote-delete text</translation>
    </message>
    <message id="transfer.PagerNameStep">
        <source>Pager-Name</source>
        <translation>pager name</translation>
    </message>
    <message id="transfer.BatteryStep">
        <source>Batteriespannung</source>
        <translation>Battery voltage</translation>
    </message>
    <message id="transfer.BuzzerStep">
        <source>Summer</source>
        <translation>Buzzer</translation>
    </message>
    <message id="transfer.NotReadNote">
        <source> Nicht gelesen: %1.</source>
        <translation> Not read: %1.</translation>
    </message>
    <message id="transfer.NotTakenOverNote">
        <source> Nicht übernommen: %1.</source>
        <translation> Not taken over: %1.</translation>
    </message>
    <message id="transfer.AndMoreSteps">
        <source>%1 und %2 weitere</source>
        <translation>%1 and %2 more</translation>
    </message>
    <message id="transfer.ReadFailed">
        <source>Fehlerhafter Datenempfang – die Daten im Formular sind unverändert.</source>
        <translation>Faulty data received – the data in the form are unchanged.</translation>
    </message>
    <message id="transfer.PartialBackupNote">
        <source> Was der Pager geliefert hat, ist als unvollständige Sicherungskopie abgelegt: %1</source>
        <translation> What the pager sent is kept as an incomplete backup: %1</translation>
    </message>
    <message id="transfer.ReadOutStatus">
        <source>Pager gelesen: %1 Tischsender</source>
        <translation>Pager read: %1 caller slots</translation>
    </message>
    <message id="transfer.FullReadOutStatus">
        <source>Pager gelesen: %1 Tischsender, %2 Küchenrufe</source>
        <translation>Pager read: %1 caller slots, %2 kitchen calls</translation>
    </message>
    <message id="transfer.BackupFailed">
        <source>Die Sicherungskopie der gelesenen Daten konnte nicht angelegt werden: %1</source>
        <translation>The backup of the data read could not be made: %1</translation>
    </message>
    <message id="transfer.NotTransferred">
        <source>Nicht übertragen: %1</source>
        <translation>Not transferred: %1</translation>
    </message>
    <message id="transfer.WriteSucceeded">
        <source>Daten erfolgreich übertragen</source>
        <translation>Data transferred successfully</translation>
    </message>
    <message id="transfer.WriteFailed">
        <source>Fehlerhafte Übertragung!</source>
        <translation>Transfer failed!</translation>
    </message>
    <message id="transfer.PartlyWritten">
        <source> Der Pager ist nur teilweise beschrieben.</source>
        <translation> The pager is only partly written.</translation>
    </message>
    <message id="transfer.MaybeNotAllWritten">
        <source> Ob der Pager alle neuen Daten hält, ist nicht sicher.</source>
        <translation> Whether the pager holds all the new data is not certain.</translation>
    </message>
    <message id="transfer.NewUpToOldFrom">
        <source> Bis %1 hält er die neuen Daten, ab %2 zum Teil noch die alten.</source>
        <translation> Up to %1 it holds the new data, from %2 on partly still the old.</translation>
    </message>
    <message id="transfer.OldFrom">
        <source> Ab %1 hält er zum Teil noch die alten Daten.</source>
        <translation> From %1 on it partly still holds the old data.</translation>
    </message>
    <message id="transfer.WriteAgain">
        <source> Ein erneutes &quot;PC -&gt; Pager&quot; beschreibt ihn vollständig.</source>
        <translation> Another &quot;PC -&gt; Pager&quot; writes it in full.</translation>
    </message>
    <message id="transfer.FileNotOpened">
        <source>Die Datei %1 konnte nicht geöffnet werden: %2</source>
        <translation>The file %1 could not be opened: %2</translation>
    </message>
    <message id="transfer.FileNotSaved">
        <source>Die Datei %1 konnte nicht gespeichert werden: %2</source>
        <translation>The file %1 could not be saved: %2</translation>
    </message>
    <message id="transfer.NotPagerData">
        <source>Die Datei %1 enthält keine Pager-Daten.</source>
        <translation>The file %1 holds no pager data.</translation>
    </message>
    <message id="transfer.ReplacedCharacters">
        <source>Die Datei %1 enthält Zeichen, die der Pager nicht darstellen kann; sie werden als &quot;?&quot; gezeigt.</source>
        <translation>The file %1 holds characters the pager cannot show; they are shown as &quot;?&quot;.</translation>
    </message>
    <message id="transfer.IncompleteFile">
        <source>Die Datei %1 enthält nicht alle Zeilen einer vollständigen Datei. Es fehlen: %2. Sie behalten die Werte, die das Formular vorher zeigte.</source>
        <translation>The file %1 lacks lines of a complete file: %2. Those keep the values the form showed before.</translation>
    </message>
    <message id="transfer.Learned">
        <source>Tischsender %1: Rufknopf %2 gelernt</source>
        <translation>Caller slot %1: call button %2 learned</translation>
    </message>
    <message id="transfer.Duplicate">
        <source>Teilnehmer ist schon an Position:%1 eingetragen!</source>
        <translation>This call button is in slot:%1 already!</translation>
    </message>
    <message id="transfer.PagerAnswered">
        <source> Der Pager antwortete: &quot;%1&quot;</source>
        <translation> The pager answered: &quot;%1&quot;</translation>
    </message>
    <message id="transfer.SwitchRefused">
        <source>Der Pager hat die Einstellung nicht übernommen.</source>
        <translation>The pager did not take the setting.</translation>
    </message>
    <message id="transfer.WrongPager">
        <source>Falscher Pager: Der Pager heißt nicht &quot;%1&quot;; er hat die Einstellung nicht übernommen.</source>
        <translation>Wrong pager: the pager is not called &quot;%1&quot;; it did not take the setting.</translation>
    </message>
    <message id="transfer.ClockRefused">
        <source>Der Repeater hat die Uhrzeit nicht übernommen.</source>
        <translation>The repeater did not take the time.</translation>
    </message>
</context>
<context>
    <name>ui</name>
    <message id="ui.FormHeading">
        <source>Konfigurationstool &apos;Zelvatron Direkt&apos;  Version 2.62</source>
        <translation>Configuration tool &apos;Zelvatron Direkt&apos;  Version 2.62</translation>
    </message>
    <message id="ui.SystemGroup">
        <source>S&amp;ystemeinstellungen</source>
        <translation>S&amp;ystem settings</translation>
    </message>
    <message id="ui.SearchButton">
        <source>&amp;Suche Zelvatron</source>
        <translation>&amp;Search Zelvatron</translation>
    </message>
    <message id="ui.ActiveCheck">
        <source>Aktiv</source>
        <translation>Active</translation>
    </message>
    <message id="ui.PagerGroup">
        <source>Pager-&amp;Einstellungen</source>
        <translation>Pager s&amp;ettings</translation>
    </message>
    <message id="ui.PagerNameLabel">
        <source>Pager-Name:</source>
        <translation>Pager name:</translation>
    </message>
    <message id="ui.BatteryCheck">
        <source>Batteriespannung</source>
        <translation>Battery voltage</translation>
    </message>
    <message id="ui.BuzzerCheck">
        <source>Summer</source>
        <translation>Buzzer</translation>
    </message>
    <message id="ui.RemoteDeleteCheck">
        <source>Fernlöschung</source>
        <translation>Remote delete</translation>
    </message>
    <message id="ui.RemoteDeleteTextLabel">
        <source>Fernlöschtext:</source>
        <translation>Delete text:</translation>
    </message>
    <message id="ui.DataGroup">
        <source>Date&amp;nhandling</source>
        <translation>Data &amp;handling</translation>
    </message>
    <message id="ui.ReadButton">
        <source>Pager -&amp;&gt; PC</source>
        <translation>Pager -&amp;&gt; PC</translation>
    </message>
    <message id="ui.WriteButton">
        <source>P&amp;C -&gt; Pager</source>
        <translation>P&amp;C -&gt; Pager</translation>
    </message>
    <message id="ui.OpenFileButton">
        <source>&amp;Datei öffnen</source>
        <translation>&amp;Open file</translation>
    </message>
    <message id="ui.SaveFileButton">
        <source>Speichern &amp;unter</source>
        <translation>Save &amp;as</translation>
    </message>
    <message id="ui.ClockGroup">
        <source> Systemzeit           Uhrzeit Repeater</source>
        <translation> System time        Repeater time</translation>
    </message>
    <message id="ui.ClockButton">
        <source>Systemzeit -&gt; &amp;Repeater</source>
        <translation>System time -&gt; &amp;Repeater</translation>
    </message>
    <message id="ui.CallerGroup">
        <source>&amp;Tischsender</source>
        <translation>&amp;Table transmitters</translation>
    </message>
    <message id="ui.MessageColumn">
        <source>Meldetext</source>
        <translation>Message</translation>
    </message>
    <message id="ui.CallButtonIdColumn">
        <source>Rufknopf-ID</source>
        <translation>Button ID</translation>
    </message>
    <message id="ui.LearnButton">
        <source>Lernen</source>
        <translation>Learn</translation>
    </message>
    <message id="ui.DeleteButton">
        <source>Löschen</source>
        <translation>Delete</translation>
    </message>
    <message id="ui.BootloaderButton">
        <source>Starte Boot&amp;loader</source>
        <translation>Start boot&amp;loader</translation>
    </message>
    <message id="ui.KitchenGroup">
        <source>&amp;Küchenrufe</source>
        <translation>&amp;Kitchen calls</translation>
    </message>
    <message id="ui.KeyColumn">
        <source>Taste</source>
        <translation>Key</translation>
    </message>
    <message id="ui.StationColumn">
        <source>Station</source>
        <translation>Station</translation>
    </message>
    <message id="ui.AddressColumn">
        <source>Adresse</source>
        <translation>Address</translation>
    </message>
    <message id="ui.QuitButton">
        <source>&amp;Beenden</source>
        <translation>E&amp;xit</translation>
    </message>
    <message id="ui.CancelButton">
        <source>&amp;Abbrechen</source>
        <translation>Ca&amp;ncel</translation>
    </message>
    <message id="ui.PortListName">
        <source>Schnittstelle</source>
        <translation>Port</translation>
    </message>
    <message id="ui.PagerNameName">
        <source>Pager-Name</source>
        <translation>Pager name</translation>
    </message>
    <message id="ui.RemoteDeleteTextName">
        <source>Fernlöschtext</source>
        <translation>Remote delete text</translation>
    </message>
    <message id="ui.ProgressName">
        <source>Fortschritt</source>
        <translation>Progress</translation>
    </message>
    <message id="ui.SystemTimeName">
        <source>Systemzeit</source>
        <translation>System time</translation>
    </message>
    <message id="ui.RepeaterTimeName">
        <source>Uhrzeit Repeater</source>
        <translation>Repeater time</translation>
    </message>
    <message id="ui.StatusLineName">
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message id="ui.LowerPageName">
        <source>Tischsender 1 bis 16</source>
        <translation>Table transmitters 1 to 16</translation>
    </message>
    <message id="ui.UpperPageName">
        <source>Tischsender 17 bis 32</source>
        <translation>Table transmitters 17 to 32</translation>
    </message>
    <message id="ui.CallerTextName">
        <source>Tischsender %1 Meldetext</source>
        <translation>Table transmitter %1 message</translation>
    </message>
    <message id="ui.CallButtonIdName">
        <source>Tischsender %1 Rufknopf-ID</source>
        <translation>Table transmitter %1 button ID</translation>
    </message>
    <message id="ui.LearnName">
        <source>Tischsender %1 Lernen</source>
        <translation>Table transmitter %1 learn</translation>
    </message>
    <message id="ui.DeleteName">
        <source>Tischsender %1 Löschen</source>
        <translation>Table transmitter %1 delete</translation>
    </message>
    <message id="ui.KitchenTextName">
        <source>Küchenruf %1 Meldetext</source>
        <translation>Kitchen call %1 message</translation>
    </message>
    <message id="ui.KitchenKeyName">
        <source>Küchenruf %1 Taste</source>
        <translation>Kitchen call %1 key</translation>
    </message>
    <message id="ui.KitchenStationName">
        <source>Küchenruf %1 Station</source>
        <translation>Kitchen call %1 station</translation>
    </message>
    <message id="ui.CallerTextPlace">
        <source>Tischsender, Zeile %1, Meldetext</source>
        <translation>Table transmitters, row %1, message</translation>
    </message>
    <message id="ui.KitchenTextPlace">
        <source>Küchenrufe, Zeile %1, Meldetext</source>
        <translation>Kitchen calls, row %1, message</translation>
    </message>
    <message id="ui.KitchenKeyPlace">
        <source>Küchenrufe, Zeile %1, Taste</source>
        <translation>Kitchen calls, row %1, key</translation>
    </message>
    <message id="ui.KitchenStationPlace">
        <source>Küchenrufe, Zeile %1, Station</source>
        <translation>Kitchen calls, row %1, station</translation>
    </message>
    <message id="ui.PagerNamePlace">
        <source>Pager-Einstellungen, Pager-Name</source>
        <translation>Pager settings, pager name</translation>
    </message>
    <message id="ui.RemoteDeleteTextPlace">
        <source>Pager-Einstellungen, Fernlöschtext</source>
        <translation>Pager settings, remote delete text</translation>
    </message>
    <message id="ui.RefusedField">
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message id="ui.AboutCaption">
        <source>Info über Harvelin</source>
        <translation>About Harvelin</translation>
    </message>
    <message id="ui.AboutVersion">
        <source>Harvelin Version 1.0</source>
        <translation>Harvelin version 1.0</translation>
    </message>
    <message id="ui.AboutPurpose">
        <source>Konfiguration für Zelvatron-Pager</source>
        <translation>Configuration of Zelvatron pagers</translation>
    </message>
    <message id="ui.OkButton">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="ui.LinesCaption">
        <source>Vergleich mit dem Pager</source>
        <translation>Comparison with the pager</translation>
    </message>
    <message id="ui.AboutEntry">
        <source>Inf&amp;o über Harvelin...</source>
        <translation>&amp;About Harvelin...</translation>
    </message>
    <message id="ui.CompareEntry">
        <source>Mit Pager vergleichen</source>
        <translation>Compare with pager</translation>
    </message>
    <message id="ui.VerifyAfterWriteEntry">
        <source>Nach dem Schreiben prüfen</source>
        <translation>Verify after writing</translation>
    </message>
    <message id="ui.SheetEntry">
        <source>Übersicht drucken…</source>
        <translation>Print overview…</translation>
    </message>
    <message id="ui.YesButton">
        <source>&amp;Ja</source>
        <translation>&amp;Yes</translation>
    </message>
    <message id="ui.NoButton">
        <source>&amp;Nein</source>
        <translation>&amp;No</translation>
    </message>
    <message id="ui.UnsavedQuitQuestion">
        <source>Die Änderungen sind weder gespeichert noch zum Pager übertragen. Trotzdem beenden?</source>
        <translation>The changes are neither saved nor sent to the pager. Exit anyway?</translation>
    </message>
    <message id="ui.UnsavedReadQuestion">
        <source>Die Änderungen sind weder gespeichert noch zum Pager übertragen. Trotzdem vom Pager lesen?</source>
        <translation>The changes are neither saved nor sent to the pager. Read from the pager anyway?</translation>
    </message>
    <message id="ui.UnsavedOpenQuestion">
        <source>Die Änderungen sind weder gespeichert noch zum Pager übertragen. Trotzdem Datei öffnen?</source>
        <translation>The changes are neither saved nor sent to the pager. Open a file anyway?</translation>
    </message>
    <message id="ui.WriteRunning">
        <source>Der Pager wird gerade beschrieben. Wird jetzt beendet, ist er nur teilweise beschrieben.</source>
        <translation>The pager is being written. Exiting now leaves it only partly written.</translation>
    </message>
    <message id="ui.WriteRunningQuitQuestion">
        <source>Der Pager wird gerade beschrieben. Wird jetzt beendet, ist er nur teilweise beschrieben. Trotzdem beenden?</source>
        <translation>The pager is being written. Exiting now leaves it only partly written. Exit anyway?</translation>
    </message>
    <message id="ui.WriteRunningUnsavedQuitQuestion">
        <source>Der Pager wird gerade beschrieben. Wird jetzt beendet, ist er nur teilweise beschrieben. Die Änderungen sind weder gespeichert noch zum Pager übertragen. Trotzdem beenden?</source>
        <translation>The pager is being written. Exiting now leaves it only partly written. The changes are neither saved nor sent to the pager. Exit anyway?</translation>
    </message>
    <message id="ui.DataFileFilter">
        <source>Datenfiles (*.pag)</source>
        <translation>Data files (*.pag)</translation>
    </message>
    <message id="ui.NoTemporaryFolder">
        <source>kein Ordner für temporäre Dateien</source>
        <translation>no folder for temporary files</translation>
    </message>
    <message id="ui.SheetNotOpened">
        <source>Die Übersicht liegt in %1, aber kein Browser hat sie geöffnet. Öffnen Sie sie dort zum Drucken.</source>
        <translation>The overview is in %1, but no browser opened it. Open it there to print it.</translation>
    </message>
    <message id="ui.AppDescription">
        <source>Konfiguriert den Zelvatron-Pager einer Personenrufanlage.</source>
        <translation>Configures the Zelvatron pager of a staff-call system.</translation>
    </message>
    <message id="ui.SimulateOption">
        <source>Bietet einen simulierten Pager als erste Schnittstelle an.</source>
        <translation>Offer a simulated pager as the first port.</translation>
    </message>
    <message id="ui.PortOption">
        <source>Serielles Gerät, das als nächste Schnittstelle durchsucht wird (mehrfach möglich; sonst: die seriellen Schnittstellen dieses Systems).</source>
        <translation>Serial device to search as the next port (repeatable; default: the serial ports of this system).</translation>
    </message>
    <message id="ui.ScreenshotOption">
        <source>Speichert das Formular nach dem Start als PNG, dann Ende.</source>
        <translation>Save the form as it looks after start as PNG, then end.</translation>
    </message>
    <message id="ui.LanguageOption">
        <source>Sprache des Programms: de oder en (sonst die des Systems).</source>
        <translation>Language of the program: de or en (default: the system&apos;s).</translation>
    </message>
    <message id="ui.FileArgument">
        <source>Konfigurationsdatei, die beim Start geöffnet wird.</source>
        <translation>Configuration file to open at start.</translation>
    </message>
    <message id="ui.OneFileOnly">
        <source>harvelin: nur eine Datei auf einmal, nicht %1</source>
        <translation>harvelin: one file at a time, not %1</translation>
    </message>
    <message id="ui.UnknownLanguage">
        <source>harvelin: Sprache %1 gibt es nicht, nur de oder en</source>
        <translation>harvelin: no language %1, only de or en</translation>
    </message>
    <message id="ui.LearnModeNotLeft">
        <source>harvelin: der Pager hat den Lernmodus nicht rechtzeitig verlassen; trotzdem Ende</source>
        <translation>harvelin: the pager did not leave learn mode in time; ending anyway</translation>
    </message>
    <message id="ui.NoPseudoTerminal">
        <source>harvelin: kein Pseudo-Terminal für den simulierten Pager</source>
        <translation>harvelin: no pseudo-terminal for the simulated pager</translation>
    </message>
    <message id="ui.CannotWrite">
        <source>harvelin: %1 kann nicht geschrieben werden</source>
        <translation>harvelin: cannot write %1</translation>
    </message>
    <message id="ui.WinUsage">
        <source>harvelin.exe [--simulate] [--port COMn]... [--language de|en] [DATEI.pag]

DATEI.pag	Konfigurationsdatei, die beim Start geöffnet wird.
--simulate	Bietet einen simulierten Pager als erste Schnittstelle an.
--port COMn	Durchsucht diese Schnittstelle als nächste (mehrfach möglich; sonst die COM-Schnittstellen, die Windows nennt).
--language de|en	Sprache des Programms (sonst die von Windows).
--help		Zeigt diesen Text.
--version	Zeigt die Version.</source>
        <translation>harvelin.exe [--simulate] [--port COMn]... [--language de|en] [FILE.pag]

FILE.pag	Configuration file to open at start.
--simulate	Offer a simulated pager as the first port.
--port COMn	Search this port as the next one (repeatable; default: the COM ports Windows lists).
--language de|en	Language of the program (default: the one of Windows).
--help		Show this text.
--version	Show the version.</translation>
    </message>
    <message id="ui.PortNeedsName">
        <source>--port braucht einen Schnittstellennamen, z. B. --port COM3.</source>
        <translation>--port needs a port name, e.g. --port COM3.</translation>
    </message>
    <message id="ui.LanguageNeedsCode">
        <source>--language braucht de oder en.</source>
        <translation>--language needs de or en.</translation>
    </message>
    <message id="ui.OneFileAtATime">
        <source>Nur eine Datei auf einmal: %1</source>
        <translation>One file at a time: %1</translation>
    </message>
    <message id="ui.UnknownOption">
        <source>Unbekannte Option: %1</source>
        <translation>Unknown option: %1</translation>
    </message>
    <message id="ui.SimulatedPagerNotStarted">
        <source>Der simulierte Pager konnte nicht gestartet werden.</source>
        <translation>The simulated pager could not be started.</translation>
    </message>
</context>
</TS>
