# The wizard's resources. Include this file and call
#   brandpdf_add_resources(<target>)
# to compile brandpdf.rc into <target>. The icon is drawn at build time by
# scripts/make-icon.py into the build tree, where windres finds it through the
# RC include path; the .rc is recompiled whenever the icon or manifest changes.

set(BRANDPDF_RES_DIR "${CMAKE_CURRENT_LIST_DIR}")
get_filename_component(BRANDPDF_ICON_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/../../scripts/make-icon.py" ABSOLUTE)
find_package(Python3 COMPONENTS Interpreter REQUIRED)

function(brandpdf_add_resources target)
  set(gen "${CMAKE_CURRENT_BINARY_DIR}/res")
  set(ico "${gen}/brandpdf.ico")
  set(rc "${BRANDPDF_RES_DIR}/brandpdf.rc")
  add_custom_command(
    OUTPUT "${ico}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${gen}"
    COMMAND Python3::Interpreter "${BRANDPDF_ICON_SCRIPT}" "${ico}"
    DEPENDS "${BRANDPDF_ICON_SCRIPT}"
    COMMENT "Drawing the wizard icon"
    VERBATIM)
  target_sources(${target} PRIVATE "${rc}" "${ico}")
  set_source_files_properties("${rc}" PROPERTIES
    OBJECT_DEPENDS "${ico};${BRANDPDF_RES_DIR}/brandpdf.manifest;${BRANDPDF_RES_DIR}/resource.h")
  # windres looks up files named in the .rc (icon, manifest) in its include dirs.
  target_include_directories(${target} PRIVATE
    "$<$<COMPILE_LANGUAGE:RC>:${gen}>" "$<$<COMPILE_LANGUAGE:RC>:${BRANDPDF_RES_DIR}>")
  target_compile_definitions(${target} PRIVATE
    "$<$<COMPILE_LANGUAGE:RC>:BRANDPDF_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}>"
    "$<$<COMPILE_LANGUAGE:RC>:BRANDPDF_VERSION_MINOR=${PROJECT_VERSION_MINOR}>"
    "$<$<COMPILE_LANGUAGE:RC>:BRANDPDF_VERSION_PATCH=${PROJECT_VERSION_PATCH}>")
endfunction()
