<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>CardExpandToggle</name>
    <message>
        <source>Collapse</source>
        <translation>Contraer</translation>
    </message>
    <message>
        <source>Expand</source>
        <translation>Expandir</translation>
    </message>
</context>
<context>
    <name>ClipboardCard</name>
    <message>
        <source>Image</source>
        <translation>Imagen</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vista previa</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copiar</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s)</source>
        <translation>
            <numerusform>%n archivo</numerusform>
            <numerusform>%n archivos</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Keeps a history of what you copy, in the system tray. Run it again while it runs to open the history.</source>
        <translation>Guarda, en la bandeja del sistema, un historial de lo que copia. Ejecútelo de nuevo mientras está en marcha para abrir el historial.</translation>
    </message>
    <message>
        <source>Displays this help.</source>
        <translation>Muestra esta ayuda.</translation>
    </message>
    <message>
        <source>Displays the version.</source>
        <translation>Muestra la versión.</translation>
    </message>
    <message>
        <source>Unexpected argument “%1”.</source>
        <translation>Argumento inesperado «%1».</translation>
    </message>
    <message>
        <source>Try “%1 --help” for more information.</source>
        <translation>Pruebe «%1 --help» para más información.</translation>
    </message>
</context>
<context>
    <name>FooterBand</name>
    <message>
        <source>Settings</source>
        <translation>Configuración</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Salir</translation>
    </message>
</context>
<context>
    <name>HeaderBand</name>
    <message>
        <source>Clipboard history</source>
        <translation>Historial del portapapeles</translation>
    </message>
    <message>
        <source>Filter: %1</source>
        <translation>Filtro: %1</translation>
    </message>
</context>
<context>
    <name>MainScreen</name>
    <message>
        <source>Clipboard history</source>
        <translation>Historial del portapapeles</translation>
    </message>
    <message>
        <source>Searching…</source>
        <translation>Buscando…</translation>
    </message>
    <message>
        <source>Nothing matches “%1”</source>
        <translation>Nada coincide con «%1»</translation>
    </message>
    <message>
        <source>Copy something to get started</source>
        <translation>Copie algo para empezar</translation>
    </message>
    <message>
        <source>This desktop does not let applications watch the clipboard</source>
        <translation>Este escritorio no permite a las aplicaciones vigilar el portapapeles</translation>
    </message>
    <message>
        <source>Nothing you copy can reach the history.</source>
        <translation>Nada de lo que copie puede llegar al historial.</translation>
    </message>
    <message>
        <source>Copies are seen through the desktop&apos;s X11 compatibility layer (XWayland).</source>
        <translation>Las copias se ven a través de la capa de compatibilidad X11 del escritorio (XWayland).</translation>
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
        <translation>Vista previa</translation>
    </message>
</context>
<context>
    <name>Previewer</name>
    <message>
        <source>Only the beginning of this file is shown.</source>
        <translation>Solo se muestra el principio de este archivo.</translation>
    </message>
    <message>
        <source>This image cannot be shown.</source>
        <translation>Esta imagen no se puede mostrar.</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Abrir</translation>
    </message>
</context>
<context>
    <name>SettingsScreen</name>
    <message>
        <source>Back to the clipboard history</source>
        <translation>Volver al historial del portapapeles</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Configuración</translation>
    </message>
    <message>
        <source>Open on launch</source>
        <translation>Abrir al iniciar sesión</translation>
    </message>
    <message>
        <source>Waiting for the desktop&apos;s answer</source>
        <translation>Esperando la respuesta del escritorio</translation>
    </message>
</context>
<context>
    <name>ShortcutRow</name>
    <message>
        <source>Open from anywhere</source>
        <translation>Abrir desde cualquier lugar</translation>
    </message>
    <message>
        <source>Press the new keys…</source>
        <translation>Pulse las nuevas teclas…</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Ninguno</translation>
    </message>
    <message>
        <source>Shortcut: %1</source>
        <translation>Atajo: %1</translation>
    </message>
    <message>
        <source>Press to record other keys</source>
        <translation>Pulse para grabar otras teclas</translation>
    </message>
    <message>
        <source>Opens the desktop&apos;s shortcut settings</source>
        <translation>Abre la configuración de atajos del escritorio</translation>
    </message>
    <message>
        <source>This desktop does not let applications have global shortcuts. Bind a key to the command “tessary” in its settings: running it again opens the history.</source>
        <translation>Este escritorio no concede atajos globales a las aplicaciones. Asigne una tecla a la orden «tessary» en su configuración: ejecutarla de nuevo abre el historial.</translation>
    </message>
    <message>
        <source>Change it in the desktop&apos;s keyboard settings.</source>
        <translation>Cámbielo en la configuración del teclado del escritorio.</translation>
    </message>
    <message>
        <source>The shortcut does not work: %1</source>
        <translation>El atajo no funciona: %1</translation>
    </message>
</context>
<context>
    <name>tessary::GlobalShortcut</name>
    <message>
        <source>Open the clipboard history</source>
        <translation>Abrir el historial del portapapeles</translation>
    </message>
    <message>
        <source>the X display cannot be opened</source>
        <translation>no se puede abrir la pantalla X</translation>
    </message>
    <message>
        <source>%1 cannot be used: %2</source>
        <translation>No se puede usar %1: %2</translation>
    </message>
    <message>
        <source>set in the desktop&apos;s settings</source>
        <translation>definido en la configuración del escritorio</translation>
    </message>
</context>
<context>
    <name>tessary::HistoryFilter</name>
    <message>
        <source>image,images,picture,pictures</source>
        <comment>words that, typed alone as the filter, list the copied images; comma-separated</comment>
        <translation>imagen,imágenes,imagenes,foto,fotos,image,images</translation>
    </message>
</context>
<context>
    <name>tessary::PortalShortcut</name>
    <message>
        <source>the desktop could not start a shortcut session: %1</source>
        <translation>el escritorio no pudo iniciar una sesión de atajos: %1</translation>
    </message>
    <message>
        <source>the desktop declined a shortcut session</source>
        <translation>el escritorio rechazó una sesión de atajos</translation>
    </message>
    <message>
        <source>the desktop could not bind the shortcut: %1</source>
        <translation>el escritorio no pudo asignar el atajo: %1</translation>
    </message>
    <message>
        <source>it was declined in the desktop&apos;s dialog</source>
        <translation>se rechazó en el diálogo del escritorio</translation>
    </message>
    <message>
        <source>the desktop did not bind it</source>
        <translation>el escritorio no lo asignó</translation>
    </message>
</context>
<context>
    <name>tessary::PreviewContent</name>
    <message>
        <source>Only files on this computer can be previewed.</source>
        <translation>Solo se pueden previsualizar archivos de este equipo.</translation>
    </message>
    <message>
        <source>“%1” no longer exists.</source>
        <translation>«%1» ya no existe.</translation>
    </message>
    <message>
        <source>“%1” cannot be read: %2</source>
        <translation>No se puede leer «%1»: %2</translation>
    </message>
    <message>
        <source>“%1” cannot be shown: it is not a readable image.</source>
        <translation>No se puede mostrar «%1»: no es una imagen legible.</translation>
    </message>
</context>
<context>
    <name>tessary::PreviewController</name>
    <message>
        <source>Text</source>
        <translation>Texto</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>Imagen</translation>
    </message>
</context>
<context>
    <name>tessary::TrayIcon</name>
    <message>
        <source>Show Clipboard History</source>
        <translation>Mostrar el historial del portapapeles</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Configuración</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Salir</translation>
    </message>
    <message>
        <source>No system tray is available, so Tessary shows no icon. Run &quot;tessary&quot; again to open the clipboard history; a keyboard shortcut can do that.</source>
        <translation>No hay bandeja del sistema, así que Tessary no muestra ningún icono. Ejecute «tessary» de nuevo para abrir el historial del portapapeles; un atajo de teclado puede hacerlo.</translation>
    </message>
</context>
<context>
    <name>tessary::X11KeyGrab</name>
    <message>
        <source>no key on this keyboard gives it</source>
        <translation>ninguna tecla de este teclado lo produce</translation>
    </message>
    <message>
        <source>another program uses it</source>
        <translation>otro programa lo usa</translation>
    </message>
</context>
</TS>
