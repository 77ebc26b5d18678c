# The generator of the shipped skin layout files. Not part of the build: after changing its
# description, run the target update_skin_layouts and commit the files it rewrites.
add_executable(make_skin_layouts EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/make_skin_layouts.cpp)
add_custom_target(update_skin_layouts
    COMMAND ${CMAKE_COMMAND} -E env
        "ASAN_OPTIONS=detect_leaks=1"
        "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/scripts/lsan.supp"
        $<TARGET_FILE:make_skin_layouts> ${PROJECT_SOURCE_DIR}/data/program/skins
    DEPENDS make_skin_layouts
    COMMENT "Rewriting the skin layout files in data/program/skins"
    VERBATIM)
