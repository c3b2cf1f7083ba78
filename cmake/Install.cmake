# Data files beside the program, the desktop icon, and the install layout.
#
# The program looks for its data files first beside itself (the build tree) and then in
# ../share/curvane seen from its own folder (an installed copy); see platform/resources.cpp. The
# install destinations below are therefore fixed to bin/ and share/ rather than taken from
# GNUInstallDirs, whose values a packager may change without the program knowing.

# ---- data files that travel with the program --------------------------------------------------
# The cursors are made by a later piece of work; the glob re-runs at build time, so they are picked
# up as soon as they appear.
file(GLOB curvane_cursor_files CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/share/MAGNIFY.CUR ${PROJECT_SOURCE_DIR}/share/DOWN.CUR)
set(CURVANE_DATA_FILES ${PROJECT_SOURCE_DIR}/share/CURVANEHELP.hlp ${curvane_cursor_files})

# Copies beside the built program, so that ./run and the tests find them without an install.
get_target_property(curvane_program_dir curvane RUNTIME_OUTPUT_DIRECTORY)
if(NOT curvane_program_dir)
    set(curvane_program_dir ${PROJECT_BINARY_DIR})
endif()
set(curvane_data_copies)
foreach(data_file IN LISTS CURVANE_DATA_FILES)
    cmake_path(GET data_file FILENAME data_name)
    set(data_copy ${curvane_program_dir}/${data_name})
    add_custom_command(OUTPUT ${data_copy}
                       COMMAND ${CMAKE_COMMAND} -E copy_if_different ${data_file} ${data_copy}
                       DEPENDS ${data_file}
                       COMMENT "Copying ${data_name} beside curvane"
                       VERBATIM)
    list(APPEND curvane_data_copies ${data_copy})
endforeach()
add_custom_target(curvane_data ALL DEPENDS ${curvane_data_copies})
# ./run builds only the curvane target; it still needs the data beside it.
add_dependencies(curvane curvane_data)

# ---- the desktop icon ------------------------------------------------------------------------
# Written by the same drawing code as the icon of the program's windows, so the two always agree.
# The tool paints into a QImage only and needs no display.
add_executable(curvane_make_app_icon tools/make_app_icon.cpp
                                     ui/toolbaricons.h ui/toolbaricons.cpp)
target_include_directories(curvane_make_app_icon PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(curvane_make_app_icon PRIVATE Qt6::Gui)
curvane_warnings(curvane_make_app_icon)

set(CURVANE_ICON_PNG ${PROJECT_BINARY_DIR}/curvane.png)
add_custom_command(OUTPUT ${CURVANE_ICON_PNG}
                   COMMAND curvane_make_app_icon ${CURVANE_ICON_PNG} 64
                   DEPENDS curvane_make_app_icon
                   COMMENT "Drawing the 64x64 program icon"
                   VERBATIM)
add_custom_target(curvane_app_icon ALL DEPENDS ${CURVANE_ICON_PNG})

# ---- install layout ---------------------------------------------------------------------------
install(TARGETS curvane RUNTIME DESTINATION bin)
install(FILES ${CURVANE_DATA_FILES} DESTINATION share/curvane)
install(FILES ${PROJECT_SOURCE_DIR}/share/curvane.desktop DESTINATION share/applications)
# The settings files' MIME type, so the desktop opens a .cvf file with the entry above.
install(FILES ${PROJECT_SOURCE_DIR}/share/curvane-mime.xml DESTINATION share/mime/packages
        RENAME curvane.xml)
install(FILES ${CURVANE_ICON_PNG} DESTINATION share/icons/hicolor/64x64/apps)
