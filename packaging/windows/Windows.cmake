# The Windows build's icon, installation and installer (included from the top CMakeLists.txt).
#
# The programs go into one folder with the Qt libraries and the MinGW runtime beside them and
# Qt's plugins in folders of their own, as windeployqt lays them out. `make windows-package`
# makes an NSIS installer (Start-menu entries, the icon, an uninstaller) and a zip of the same.

# The icon as Windows wants it: an .ico of the drawn sizes, in the program's resources.
find_program(ICOTOOL icotool REQUIRED)
set(windows_dir ${CMAKE_BINARY_DIR}/windows)
set(app_ico ${windows_dir}/varnex.ico)
set(ico_sizes)
foreach(size 16 32 48 64 128)
  list(APPEND ico_sizes ${CMAKE_BINARY_DIR}/icons/${size}x${size}/${app_id}.png)
endforeach()
add_custom_command(OUTPUT ${app_ico}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${windows_dir}
                   COMMAND ${ICOTOOL} -c -o ${app_ico} ${ico_sizes}
                           -r ${CMAKE_BINARY_DIR}/icons/256x256/${app_id}.png
                   DEPENDS ${icon_files})
# The manifest: see packaging/windows/varnex.manifest.
file(WRITE ${windows_dir}/varnex.rc.in
     "IDI_ICON1 ICON \"varnex.ico\"\n1 24 \"${CMAKE_SOURCE_DIR}/packaging/windows/varnex.manifest\"\n")
configure_file(${windows_dir}/varnex.rc.in ${windows_dir}/varnex.rc COPYONLY)
set_source_files_properties(${windows_dir}/varnex.rc PROPERTIES OBJECT_DEPENDS
                            "${app_ico};${CMAKE_SOURCE_DIR}/packaging/windows/varnex.manifest")
target_include_directories(varnex PRIVATE ${windows_dir})

install(TARGETS varnex varnex-logger varnex-report varnex-probesim RUNTIME DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
        DESTINATION .)
# The offscreen platform lets "varnex --quit-after S --screenshot FILE" run without a desktop.
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> $<TARGET_FILE:Qt6::QOffscreenIntegrationPlugin>
        DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
# The MinGW runtime the programs and Qt were built with.
file(GLOB mingw_runtime /usr/lib/gcc/x86_64-w64-mingw32/*-posix/libstdc++-6.dll
     /usr/lib/gcc/x86_64-w64-mingw32/*-posix/libgcc_s_seh-1.dll
     /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll)
install(FILES ${mingw_runtime} DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/windows/README.txt DESTINATION .)
set(CMAKE_INSTALL_SYSTEM_RUNTIME_LIBS_SKIP ON)

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME Varnex)
set(CPACK_PACKAGE_VENDOR "The Varnex developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Read, show and log electromagnetic field-strength probes")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Varnex)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Varnex)
set(CPACK_PACKAGE_FILE_NAME Varnex-${PROJECT_VERSION}-windows-x64)
set(CPACK_STRIP_FILES ON)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_DISPLAY_NAME Varnex)
set(CPACK_NSIS_PACKAGE_NAME Varnex)
set(CPACK_NSIS_MUI_ICON ${app_ico})
set(CPACK_NSIS_MUI_UNIICON ${app_ico})
set(CPACK_NSIS_INSTALLED_ICON_NAME varnex.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
# Start menu: the program, and the program on its virtual probe (a live probe without one).
set(CPACK_PACKAGE_EXECUTABLES varnex Varnex)
set(CPACK_NSIS_CREATE_ICONS_EXTRA
    "CreateShortCut '$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\\Varnex on a virtual probe.lnk' '$INSTDIR\\\\varnex.exe' '--simulate PX-5100'")
set(CPACK_NSIS_DELETE_ICONS_EXTRA
    "Delete '$SMPROGRAMS\\\\$MUI_TEMP\\\\Varnex on a virtual probe.lnk'")
include(CPack)
