# The windowing layer over the framework core. The backend follows the platform:
# Win32 for the product, the headless stage for native tests.
if(WIN32)
  add_library(framework_ui STATIC ui.cpp win32/ui.cpp win32/ui_profile.cpp)
  target_link_libraries(framework_ui PUBLIC framework_core comdlg32 advapi32 comctl32 gdi32 user32)
  # The entry point, linked as an object into each GUI program.
  add_library(framework_entry OBJECT win32/ui_main.cpp)
else()
  add_library(framework_ui STATIC ui.cpp headless/ui.cpp headless/ui_profile.cpp)
  target_link_libraries(framework_ui PUBLIC framework_core)
endif()
