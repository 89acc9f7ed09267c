# The Debian package, built by CPack from the install tree: `cmake --workflow --preset package`.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessary)
set(CPACK_PACKAGE_VENDOR Tessary)
set(CPACK_PACKAGE_CONTACT "Tessary maintainers <maintainers@users.noreply.c-seed-49a35270.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "clipboard history in the system tray")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Tessary sits in the system tray and keeps the last 50 things you copied:"
    "texts, images and files. Its panel lists them as cards that copy back,"
    "preview and drag out. The history lives in memory only and is gone when"
    "Tessary quits.")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries Tessary links come from dpkg-shlibdeps. What Qt loads by name at run time it
# cannot see: the QML modules the views import.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qml6-module-qtqml, qml6-module-qtqml-models, qml6-module-qtqml-workerscript, \
qml6-module-qtquick, qml6-module-qtquick-controls, qml6-module-qtquick-layouts, \
qml6-module-qtquick-templates, qml6-module-qtquick-window")
# Plugins for Wayland sessions and for TIFF and WebP copies, and the event sounds. Playing them
# through PulseAudio rather than ALSA, and Qt's own texts (the command line's) in the user's
# language, are left to the desktop, which has them as a rule.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-wayland, qt6-image-formats-plugins, sound-theme-freedesktop")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libcanberra-pulse, qt6-translations-l10n")

include(CPack)
