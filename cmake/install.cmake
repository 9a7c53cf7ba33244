# The installed program: the version it reports, its desktop entry, icons, AppStream data and
# manual page, and where each goes in the GNU layout. The course installs from course/.
include(GNUInstallDirs)
find_package(Qt6 6.4 REQUIRED COMPONENTS Svg)

set(QORVEX_APP_ID io.github.qorvex.Qorvex)
set_property(SOURCE ${CMAKE_SOURCE_DIR}/app/commandline.cpp APPEND PROPERTY
    COMPILE_DEFINITIONS QORVEX_VERSION="${PROJECT_VERSION}")
target_compile_definitions(qorvex PRIVATE QORVEX_APP_ID="${QORVEX_APP_ID}")

# The icon theme's sizes are painted by the window icon's own code, the scalable one through an SVG
# paint device; only this build tool needs Qt Svg.
add_executable(make-icons resources/paint/make-icons.cpp)
target_include_directories(make-icons PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(make-icons PRIVATE qorvex_paint Qt6::Svg)
set(ICONS_DIR ${CMAKE_BINARY_DIR}/icons)
set(ICON_FILES ${ICONS_DIR}/hicolor/scalable/apps/${QORVEX_APP_ID}.svg)
foreach(size 16 24 32 48 64 128 256)
    list(APPEND ICON_FILES ${ICONS_DIR}/hicolor/${size}x${size}/apps/${QORVEX_APP_ID}.png)
endforeach()
add_custom_command(
    OUTPUT ${ICON_FILES}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:make-icons> ${ICONS_DIR} ${QORVEX_APP_ID}
    DEPENDS make-icons
    COMMENT "Painting the desktop icons")
add_custom_target(icons ALL DEPENDS ${ICON_FILES})

set(DESKTOP_DIR ${CMAKE_BINARY_DIR}/desktop)
configure_file(resources/desktop/qorvex.desktop.in ${DESKTOP_DIR}/${QORVEX_APP_ID}.desktop @ONLY)
configure_file(resources/desktop/qorvex.metainfo.xml.in
    ${DESKTOP_DIR}/${QORVEX_APP_ID}.metainfo.xml @ONLY)
configure_file(resources/desktop/qorvex.6.in ${DESKTOP_DIR}/qorvex.6 @ONLY)

install(TARGETS qorvex RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Modules the program loads at run time install into ${CMAKE_INSTALL_LIBDIR}/qorvex by their own
# rules, next to the targets that build them.
install(FILES ${DESKTOP_DIR}/${QORVEX_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${DESKTOP_DIR}/${QORVEX_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${ICONS_DIR}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${DESKTOP_DIR}/qorvex.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
