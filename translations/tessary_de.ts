<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>CardExpandToggle</name>
    <message>
        <source>Collapse</source>
        <translation>Einklappen</translation>
    </message>
    <message>
        <source>Expand</source>
        <translation>Ausklappen</translation>
    </message>
</context>
<context>
    <name>ClipboardCard</name>
    <message>
        <source>Image</source>
        <translation>Bild</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s)</source>
        <translation>
            <numerusform>%n Datei</numerusform>
            <numerusform>%n Dateien</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Keeps a history of what you copy, in the system tray. Run it again while it runs to open the history.</source>
        <translation>Führt im Systemabschnitt der Kontrollleiste einen Verlauf dessen, was Sie kopieren. Erneut aufgerufen, während es läuft, öffnet es den Verlauf.</translation>
    </message>
    <message>
        <source>Displays this help.</source>
        <translation>Zeigt diese Hilfe an.</translation>
    </message>
    <message>
        <source>Displays the version.</source>
        <translation>Zeigt die Version an.</translation>
    </message>
    <message>
        <source>Unexpected argument “%1”.</source>
        <translation>Unerwartetes Argument „%1“.</translation>
    </message>
    <message>
        <source>Try “%1 --help” for more information.</source>
        <translation>„%1 --help“ gibt weitere Auskunft.</translation>
    </message>
</context>
<context>
    <name>FooterBand</name>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
</context>
<context>
    <name>HeaderBand</name>
    <message>
        <source>Clipboard history</source>
        <translation>Zwischenablage-Verlauf</translation>
    </message>
    <message>
        <source>Filter: %1</source>
        <translation>Filter: %1</translation>
    </message>
</context>
<context>
    <name>MainScreen</name>
    <message>
        <source>Clipboard history</source>
        <translation>Zwischenablage-Verlauf</translation>
    </message>
    <message>
        <source>Searching…</source>
        <translation>Suche läuft …</translation>
    </message>
    <message>
        <source>Nothing matches “%1”</source>
        <translation>Nichts passt zu „%1“</translation>
    </message>
    <message>
        <source>Copy something to get started</source>
        <translation>Kopieren Sie etwas, um loszulegen</translation>
    </message>
    <message>
        <source>This desktop does not let applications watch the clipboard</source>
        <translation>Diese Arbeitsumgebung lässt Anwendungen die Zwischenablage nicht beobachten</translation>
    </message>
    <message>
        <source>Nothing you copy can reach the history.</source>
        <translation>Nichts, was Sie kopieren, kann in den Verlauf gelangen.</translation>
    </message>
    <message>
        <source>Copies are seen through the desktop&apos;s X11 compatibility layer (XWayland).</source>
        <translation>Kopien werden über die X11-Kompatibilitätsschicht der Arbeitsumgebung (XWayland) gesehen.</translation>
    </message>
</context>
<context>
    <name>Panel</name>
    <message>
        <source>Tessary</source>
        <translation>Tessary</translation>
    </message>
</context>
<context>
    <name>PreviewWindow</name>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
</context>
<context>
    <name>Previewer</name>
    <message>
        <source>Only the beginning of this file is shown.</source>
        <translation>Nur der Anfang dieser Datei wird gezeigt.</translation>
    </message>
    <message>
        <source>This image cannot be shown.</source>
        <translation>Dieses Bild kann nicht angezeigt werden.</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
</context>
<context>
    <name>SettingsScreen</name>
    <message>
        <source>Back to the clipboard history</source>
        <translation>Zurück zum Zwischenablage-Verlauf</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Open on launch</source>
        <translation>Beim Anmelden starten</translation>
    </message>
    <message>
        <source>Waiting for the desktop&apos;s answer</source>
        <translation>Warten auf die Antwort der Arbeitsumgebung</translation>
    </message>
</context>
<context>
    <name>ShortcutRow</name>
    <message>
        <source>Open from anywhere</source>
        <translation>Von überall öffnen</translation>
    </message>
    <message>
        <source>Press the new keys…</source>
        <translation>Neue Tasten drücken …</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keines</translation>
    </message>
    <message>
        <source>Shortcut: %1</source>
        <translation>Tastenkürzel: %1</translation>
    </message>
    <message>
        <source>Press to record other keys</source>
        <translation>Drücken, um andere Tasten aufzunehmen</translation>
    </message>
    <message>
        <source>Opens the desktop&apos;s shortcut settings</source>
        <translation>Öffnet die Tastenkürzel-Einstellungen der Arbeitsumgebung</translation>
    </message>
    <message>
        <source>This desktop does not let applications have global shortcuts. Bind a key to the command “tessary” in its settings: running it again opens the history.</source>
        <translation>Diese Arbeitsumgebung gewährt Anwendungen keine globalen Tastenkürzel. Legen Sie in ihren Einstellungen eine Taste auf den Befehl „tessary“: Erneut aufgerufen, öffnet er den Verlauf.</translation>
    </message>
    <message>
        <source>Change it in the desktop&apos;s keyboard settings.</source>
        <translation>Ändern Sie es in den Tastatureinstellungen der Arbeitsumgebung.</translation>
    </message>
    <message>
        <source>The shortcut does not work: %1</source>
        <translation>Das Tastenkürzel funktioniert nicht: %1</translation>
    </message>
</context>
<context>
    <name>tessary::GlobalShortcut</name>
    <message>
        <source>Open the clipboard history</source>
        <translation>Den Zwischenablage-Verlauf öffnen</translation>
    </message>
    <message>
        <source>the X display cannot be opened</source>
        <translation>die X-Anzeige lässt sich nicht öffnen</translation>
    </message>
    <message>
        <source>%1 cannot be used: %2</source>
        <translation>%1 kann nicht verwendet werden: %2</translation>
    </message>
    <message>
        <source>set in the desktop&apos;s settings</source>
        <translation>in den Einstellungen der Arbeitsumgebung festgelegt</translation>
    </message>
</context>
<context>
    <name>tessary::HistoryFilter</name>
    <message>
        <source>image,images,picture,pictures</source>
        <comment>words that, typed alone as the filter, list the copied images; comma-separated</comment>
        <translation>bild,bilder,foto,fotos,image,images</translation>
    </message>
</context>
<context>
    <name>tessary::PortalShortcut</name>
    <message>
        <source>the desktop could not start a shortcut session: %1</source>
        <translation>die Arbeitsumgebung konnte keine Tastenkürzel-Sitzung beginnen: %1</translation>
    </message>
    <message>
        <source>the desktop declined a shortcut session</source>
        <translation>die Arbeitsumgebung hat eine Tastenkürzel-Sitzung abgelehnt</translation>
    </message>
    <message>
        <source>the desktop could not bind the shortcut: %1</source>
        <translation>die Arbeitsumgebung konnte das Tastenkürzel nicht zuweisen: %1</translation>
    </message>
    <message>
        <source>it was declined in the desktop&apos;s dialog</source>
        <translation>es wurde im Dialog der Arbeitsumgebung abgelehnt</translation>
    </message>
    <message>
        <source>the desktop did not bind it</source>
        <translation>die Arbeitsumgebung hat es nicht zugewiesen</translation>
    </message>
</context>
<context>
    <name>tessary::PreviewContent</name>
    <message>
        <source>Only files on this computer can be previewed.</source>
        <translation>Nur Dateien auf diesem Rechner lassen sich in der Vorschau zeigen.</translation>
    </message>
    <message>
        <source>“%1” no longer exists.</source>
        <translation>„%1“ existiert nicht mehr.</translation>
    </message>
    <message>
        <source>“%1” cannot be read: %2</source>
        <translation>„%1“ kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>“%1” cannot be shown: it is not a readable image.</source>
        <translation>„%1“ kann nicht angezeigt werden: Es ist kein lesbares Bild.</translation>
    </message>
</context>
<context>
    <name>tessary::PreviewController</name>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>Bild</translation>
    </message>
</context>
<context>
    <name>tessary::TrayIcon</name>
    <message>
        <source>Show Clipboard History</source>
        <translation>Zwischenablage-Verlauf anzeigen</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>No system tray is available, so Tessary shows no icon. Run &quot;tessary&quot; again to open the clipboard history; a keyboard shortcut can do that.</source>
        <translation>Es gibt keinen Systemabschnitt der Kontrollleiste, daher zeigt Tessary kein Symbol. Rufen Sie „tessary“ erneut auf, um den Zwischenablage-Verlauf zu öffnen; ein Tastenkürzel kann das übernehmen.</translation>
    </message>
</context>
<context>
    <name>tessary::X11KeyGrab</name>
    <message>
        <source>no key on this keyboard gives it</source>
        <translation>keine Taste dieser Tastatur erzeugt es</translation>
    </message>
    <message>
        <source>another program uses it</source>
        <translation>ein anderes Programm verwendet es</translation>
    </message>
</context>
</TS>
