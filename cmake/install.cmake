# Where an installed Tavorin puts its files: Debian's layout for games, relative to the prefix.
# The launcher in games/ finds the others from its own place, so any prefix works.
set(TAVORIN_INSTALL_GAMES_DIR games)
set(TAVORIN_INSTALL_BINARY_DIR lib/games/tavorin)
set(TAVORIN_INSTALL_DATA_DIR share/games/tavorin)
set(TAVORIN_INSTALL_MAN_DIR share/man/man6)
set(TAVORIN_MAN_PAGES_DIR ${PROJECT_SOURCE_DIR}/packaging/man)

# Every command-line tool goes through here, so each one answers --version, lands beside the
# game in the build folder and installs in games/ with its man page (packaging/man/NAME.6).
function(tavorin_install_tool target)
    target_link_libraries(${target} PRIVATE tavorin_version)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
    # packaging/ lists them in the metainfo and the Windows README.
    set_property(GLOBAL APPEND PROPERTY TAVORIN_TOOLS ${target})
    if(WIN32)
        return()
    endif()
    set(page ${TAVORIN_MAN_PAGES_DIR}/${target}.6)
    if(NOT EXISTS ${page})
        message(SEND_ERROR "${target} has no man page: write ${page}")
    endif()
    install(TARGETS ${target} RUNTIME DESTINATION ${TAVORIN_INSTALL_GAMES_DIR})
    tavorin_install_man_page(${page})
endfunction()

# Man pages get the version filled in and go in compressed, without a time stamp, as Debian
# wants them.
function(tavorin_install_man_page page)
    get_filename_component(name ${page} NAME)
    set(filled ${PROJECT_BINARY_DIR}/man/${name})
    configure_file(${page} ${filled} @ONLY)
    add_custom_command(
        OUTPUT ${filled}.gz
        COMMAND sh -c "gzip -9 -n -c \"$1\" > \"$2\"" sh ${filled} ${filled}.gz
        DEPENDS ${filled}
        COMMENT "Compressing man page ${name}"
        VERBATIM)
    add_custom_target(man_${name} ALL DEPENDS ${filled}.gz)
    install(FILES ${filled}.gz DESTINATION ${TAVORIN_INSTALL_MAN_DIR})
endfunction()
