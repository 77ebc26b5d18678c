# The default skin's images, drawn at build time from the shipped layout files into the
# shipped skin folder.
add_executable(make_skin_images
    ${CMAKE_CURRENT_LIST_DIR}/make_skin_images.cpp
    ${CMAKE_CURRENT_LIST_DIR}/skin_painter.cpp)
target_include_directories(make_skin_images PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(make_skin_images PRIVATE zelbo_ui Qt6::Gui)

set(ZELBO_SKIN_LAYOUT_DIR ${PROJECT_SOURCE_DIR}/data/program/skins)
file(GLOB ZELBO_SKIN_LAYOUTS CONFIGURE_DEPENDS
    ${ZELBO_SKIN_LAYOUT_DIR}/INI_CN/*.ini ${ZELBO_SKIN_LAYOUT_DIR}/INI_EN/*.ini)

set(ZELBO_SKIN_IMAGE_NAMES
    main_mask.jpg main_normal.jpg main_over.jpg main_down.jpg
    advanced_normal.jpg advanced_over.jpg advanced_down.jpg
    color_normal_gray.jpg color_over_yellow.jpg color_down_blue.jpg
    color_pink.jpg color_green.jpg color_red.jpg color_cyan.jpg color_white.jpg
    menu_mask.jpg menu_normal.jpg menu_over.jpg menu_down.jpg
    "advanced menu_mask.jpg" "advanced menu_normal.jpg" "advanced menu_over.jpg"
    "advanced menu_down.jpg"
    warning_mask.jpg warning_normal.jpg warning_over.jpg)
set(ZELBO_SKIN_IMAGES)
foreach(name IN LISTS ZELBO_SKIN_IMAGE_NAMES)
    list(APPEND ZELBO_SKIN_IMAGES "${ZELBO_SHIPPED_DIR}/skins/${name}")
endforeach()

add_custom_command(OUTPUT ${ZELBO_SKIN_IMAGES}
    COMMAND ${ZELBO_TOOL_ENV}
        $<TARGET_FILE:make_skin_images> ${ZELBO_SKIN_LAYOUT_DIR} ${ZELBO_SHIPPED_DIR}/skins
    DEPENDS make_skin_images ${ZELBO_SKIN_LAYOUTS}
    COMMENT "Drawing the skin images"
    VERBATIM)
add_custom_target(zelbo_skin_images ALL DEPENDS ${ZELBO_SKIN_IMAGES})
