<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>CardExpandToggle</name>
    <message>
        <source>Collapse</source>
        <translation>Réduire</translation>
    </message>
    <message>
        <source>Expand</source>
        <translation>Développer</translation>
    </message>
</context>
<context>
    <name>ClipboardCard</name>
    <message>
        <source>Image</source>
        <translation>Image</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Aperçu</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s)</source>
        <translation>
            <numerusform>%n fichier</numerusform>
            <numerusform>%n fichiers</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Keeps a history of what you copy, in the system tray. Run it again while it runs to open the history.</source>
        <translation>Garde, dans la zone de notification, un historique de ce que vous copiez. Lancez-le à nouveau pendant qu’il fonctionne pour ouvrir l’historique.</translation>
    </message>
    <message>
        <source>Displays this help.</source>
        <translation>Affiche cette aide.</translation>
    </message>
    <message>
        <source>Displays the version.</source>
        <translation>Affiche la version.</translation>
    </message>
    <message>
        <source>Unexpected argument “%1”.</source>
        <translation>Argument inattendu « %1 ».</translation>
    </message>
    <message>
        <source>Try “%1 --help” for more information.</source>
        <translation>Essayez « %1 --help » pour plus d’informations.</translation>
    </message>
</context>
<context>
    <name>FooterBand</name>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
</context>
<context>
    <name>HeaderBand</name>
    <message>
        <source>Clipboard history</source>
        <translation>Historique du presse-papiers</translation>
    </message>
    <message>
        <source>Filter: %1</source>
        <translation>Filtre : %1</translation>
    </message>
</context>
<context>
    <name>MainScreen</name>
    <message>
        <source>Clipboard history</source>
        <translation>Historique du presse-papiers</translation>
    </message>
    <message>
        <source>Searching…</source>
        <translation>Recherche…</translation>
    </message>
    <message>
        <source>Nothing matches “%1”</source>
        <translation>Rien ne correspond à « %1 »</translation>
    </message>
    <message>
        <source>Copy something to get started</source>
        <translation>Copiez quelque chose pour commencer</translation>
    </message>
    <message>
        <source>This desktop does not let applications watch the clipboard</source>
        <translation>Ce bureau ne permet pas aux applications de surveiller le presse-papiers</translation>
    </message>
    <message>
        <source>Nothing you copy can reach the history.</source>
        <translation>Rien de ce que vous copiez ne peut arriver dans l’historique.</translation>
    </message>
    <message>
        <source>Copies are seen through the desktop&apos;s X11 compatibility layer (XWayland).</source>
        <translation>Les copies sont vues à travers la couche de compatibilité X11 du bureau (XWayland).</translation>
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
        <translation>Aperçu</translation>
    </message>
</context>
<context>
    <name>Previewer</name>
    <message>
        <source>Only the beginning of this file is shown.</source>
        <translation>Seul le début de ce fichier est affiché.</translation>
    </message>
    <message>
        <source>This image cannot be shown.</source>
        <translation>Cette image ne peut pas être affichée.</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
</context>
<context>
    <name>SettingsScreen</name>
    <message>
        <source>Back to the clipboard history</source>
        <translation>Retour à l’historique du presse-papiers</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <source>Open on launch</source>
        <translation>Ouvrir à la connexion</translation>
    </message>
    <message>
        <source>Waiting for the desktop&apos;s answer</source>
        <translation>En attente de la réponse du bureau</translation>
    </message>
</context>
<context>
    <name>ShortcutRow</name>
    <message>
        <source>Open from anywhere</source>
        <translation>Ouvrir de n’importe où</translation>
    </message>
    <message>
        <source>Press the new keys…</source>
        <translation>Appuyez sur les nouvelles touches…</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Aucun</translation>
    </message>
    <message>
        <source>Shortcut: %1</source>
        <translation>Raccourci : %1</translation>
    </message>
    <message>
        <source>Press to record other keys</source>
        <translation>Appuyez pour enregistrer d’autres touches</translation>
    </message>
    <message>
        <source>Opens the desktop&apos;s shortcut settings</source>
        <translation>Ouvre les réglages de raccourcis du bureau</translation>
    </message>
    <message>
        <source>This desktop does not let applications have global shortcuts. Bind a key to the command “tessary” in its settings: running it again opens the history.</source>
        <translation>Ce bureau n’accorde pas de raccourcis globaux aux applications. Associez une touche à la commande « tessary » dans ses réglages : la relancer ouvre l’historique.</translation>
    </message>
    <message>
        <source>Change it in the desktop&apos;s keyboard settings.</source>
        <translation>Modifiez-le dans les réglages du clavier du bureau.</translation>
    </message>
    <message>
        <source>The shortcut does not work: %1</source>
        <translation>Le raccourci ne fonctionne pas : %1</translation>
    </message>
</context>
<context>
    <name>tessary::GlobalShortcut</name>
    <message>
        <source>Open the clipboard history</source>
        <translation>Ouvrir l’historique du presse-papiers</translation>
    </message>
    <message>
        <source>the X display cannot be opened</source>
        <translation>l’affichage X ne peut pas être ouvert</translation>
    </message>
    <message>
        <source>%1 cannot be used: %2</source>
        <translation>%1 ne peut pas être utilisé : %2</translation>
    </message>
    <message>
        <source>set in the desktop&apos;s settings</source>
        <translation>défini dans les réglages du bureau</translation>
    </message>
</context>
<context>
    <name>tessary::HistoryFilter</name>
    <message>
        <source>image,images,picture,pictures</source>
        <comment>words that, typed alone as the filter, list the copied images; comma-separated</comment>
        <translation>image,images,photo,photos</translation>
    </message>
</context>
<context>
    <name>tessary::PortalShortcut</name>
    <message>
        <source>the desktop could not start a shortcut session: %1</source>
        <translation>le bureau n’a pas pu ouvrir de session de raccourcis : %1</translation>
    </message>
    <message>
        <source>the desktop declined a shortcut session</source>
        <translation>le bureau a refusé une session de raccourcis</translation>
    </message>
    <message>
        <source>the desktop could not bind the shortcut: %1</source>
        <translation>le bureau n’a pas pu associer le raccourci : %1</translation>
    </message>
    <message>
        <source>it was declined in the desktop&apos;s dialog</source>
        <translation>il a été refusé dans la boîte de dialogue du bureau</translation>
    </message>
    <message>
        <source>the desktop did not bind it</source>
        <translation>le bureau ne l’a pas associé</translation>
    </message>
</context>
<context>
    <name>tessary::PreviewContent</name>
    <message>
        <source>Only files on this computer can be previewed.</source>
        <translation>Seuls les fichiers de cet ordinateur peuvent être prévisualisés.</translation>
    </message>
    <message>
        <source>“%1” no longer exists.</source>
        <translation>« %1 » n’existe plus.</translation>
    </message>
    <message>
        <source>“%1” cannot be read: %2</source>
        <translation>« %1 » ne peut pas être lu : %2</translation>
    </message>
    <message>
        <source>“%1” cannot be shown: it is not a readable image.</source>
        <translation>« %1 » ne peut pas être affiché : ce n’est pas une image lisible.</translation>
    </message>
</context>
<context>
    <name>tessary::PreviewController</name>
    <message>
        <source>Text</source>
        <translation>Texte</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>Image</translation>
    </message>
</context>
<context>
    <name>tessary::TrayIcon</name>
    <message>
        <source>Show Clipboard History</source>
        <translation>Afficher l’historique du presse-papiers</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>No system tray is available, so Tessary shows no icon. Run &quot;tessary&quot; again to open the clipboard history; a keyboard shortcut can do that.</source>
        <translation>Aucune zone de notification n’est disponible : Tessary n’affiche donc pas d’icône. Relancez « tessary » pour ouvrir l’historique du presse-papiers ; un raccourci clavier peut le faire.</translation>
    </message>
</context>
<context>
    <name>tessary::X11KeyGrab</name>
    <message>
        <source>no key on this keyboard gives it</source>
        <translation>aucune touche de ce clavier ne le produit</translation>
    </message>
    <message>
        <source>another program uses it</source>
        <translation>un autre programme l’utilise</translation>
    </message>
</context>
</TS>
