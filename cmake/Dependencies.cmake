# Every library and tool the build needs, each with the Debian 12 package that provides it, so a
# missing one is named in one clear line instead of a search path dump.

set(TESSARY_QT_MINIMUM 6.4)

# tessary_require_qt(<component>... PACKAGES <debian package>...)
# A macro, as Qt's package sets variables its commands read later.
macro(tessary_require_qt)
    cmake_parse_arguments(ARG "" "" "PACKAGES" ${ARGN})
    find_package(Qt6 ${TESSARY_QT_MINIMUM} QUIET COMPONENTS ${ARG_UNPARSED_ARGUMENTS})
    set(missing)
    foreach(component ${ARG_UNPARSED_ARGUMENTS})
        if(NOT Qt6${component}_FOUND)
            list(APPEND missing Qt6::${component})
        endif()
    endforeach()
    if(NOT Qt6_FOUND OR missing)
        # Qt 6 is also "not found" when it is new enough but lacks a component: only when every
        # Qt 6 seen is too old is the version what is missing.
        set(new_enough)
        foreach(version ${Qt6_CONSIDERED_VERSIONS})
            if(version VERSION_GREATER_EQUAL TESSARY_QT_MINIMUM)
                list(APPEND new_enough ${version})
            endif()
        endforeach()
        if(Qt6_CONSIDERED_VERSIONS AND NOT new_enough)
            set(found ${Qt6_CONSIDERED_VERSIONS})
            list(REMOVE_DUPLICATES found)
            list(JOIN found ", " found)
            set(missing "Qt 6 (found only ${found})")
        endif()
        list(JOIN missing ", " missing)
        list(JOIN ARG_PACKAGES " " packages)
        message(FATAL_ERROR "Tessary needs Qt ${TESSARY_QT_MINIMUM} or newer; not found: "
                            "${missing}. On Debian: apt install ${packages}")
    endif()
endmacro()

# tessary_require_pkgconfig(<prefix> <debian package> <pkg-config module>...)
# Makes the modules' imported target PkgConfig::<prefix>, visible everywhere.
macro(tessary_require_pkgconfig prefix package)
    pkg_check_modules(${prefix} QUIET IMPORTED_TARGET GLOBAL ${ARGN})
    if(NOT ${prefix}_FOUND)
        string(REPLACE ";" ", " modules "${ARGN}")
        message(FATAL_ERROR
            "Tessary needs ${modules} (pkg-config) and did not find it. On Debian: apt install ${package}")
    endif()
endmacro()

# tessary_require_program(<variable> <program> <debian package>)
function(tessary_require_program variable program package)
    find_program(${variable} ${program})
    if(NOT ${variable})
        message(FATAL_ERROR "Tessary needs the program ${program}. On Debian: apt install ${package}")
    endif()
endfunction()

find_package(PkgConfig QUIET)
if(NOT PKG_CONFIG_FOUND)
    message(FATAL_ERROR "Tessary needs pkg-config. On Debian: apt install pkg-config")
endif()

tessary_require_qt(Core Concurrent PACKAGES qt6-base-dev)
tessary_require_pkgconfig(TESSARY_ICU_UC libicu-dev icu-uc)
tessary_require_pkgconfig(TESSARY_XCB "libxcb1-dev libxcb-xfixes0-dev" xcb xcb-xfixes)
tessary_require_pkgconfig(TESSARY_XCB_KEYS "libxcb-keysyms1-dev libxkbcommon-dev"
                          xcb-keysyms xkbcommon)
if(BUILD_TESTING)
    tessary_require_qt(Test PACKAGES qt6-base-dev)
endif()

if(NOT TESSARY_CORE_ONLY)
    tessary_require_qt(Gui Widgets DBus Qml Quick QuickControls2 Svg LinguistTools
        PACKAGES qt6-base-dev qt6-declarative-dev qt6-svg-dev qt6-tools-dev qt6-l10n-tools libgl-dev)
    tessary_require_pkgconfig(TESSARY_ICU_I18N libicu-dev icu-i18n)
    tessary_require_pkgconfig(TESSARY_WAYLAND_CLIENT libwayland-dev wayland-client)
    tessary_require_pkgconfig(TESSARY_CANBERRA libcanberra-dev libcanberra)
    tessary_require_pkgconfig(TESSARY_XKBCOMMON libxkbcommon-dev xkbcommon)
    tessary_require_program(TESSARY_WAYLAND_SCANNER wayland-scanner libwayland-bin)
    # The translations of the desktop entry and the metainfo.
    tessary_require_program(TESSARY_MSGFMT msgfmt gettext)
    tessary_require_program(TESSARY_XGETTEXT xgettext gettext)
    tessary_require_program(TESSARY_MSGMERGE msgmerge gettext)
    find_path(TESSARY_GETTEXT_ITS_DIR metainfo.its
        PATHS ${CMAKE_SYSTEM_PREFIX_PATH} PATH_SUFFIXES share/gettext/its NO_DEFAULT_PATH)
    if(NOT TESSARY_GETTEXT_ITS_DIR)
        message(FATAL_ERROR "Tessary needs AppStream's gettext rules for metainfo. "
                            "On Debian: apt install appstream")
    endif()
    # The code wayland-scanner generates for the Wayland protocols is C.
    enable_language(C)
    if(BUILD_TESTING)
        tessary_require_qt(QuickTest PACKAGES qt6-declarative-dev)
        tessary_require_pkgconfig(TESSARY_WAYLAND_SERVER libwayland-dev wayland-server)
        tessary_require_program(TESSARY_DESKTOP_FILE_VALIDATE desktop-file-validate
                                desktop-file-utils)
        tessary_require_program(TESSARY_APPSTREAMCLI appstreamcli appstream)
        tessary_require_program(TESSARY_MSGCMP msgcmp gettext)
    endif()
endif()
