# compress_file(SOURCE RESULT): compresses SOURCE into SOURCE.gz in the build
# directory, as Debian wants man pages and change logs: best compression, and
# no name or time stamp, so that builds repeat. Sets RESULT to the .gz file.
function(compress_file source result)
    get_filename_component(name ${source} NAME)
    set(compressed ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
    add_custom_command(OUTPUT ${compressed}
        COMMAND gzip -9n -c ${source} > ${compressed}
        DEPENDS ${source} VERBATIM)
    string(MAKE_C_IDENTIFIER "compress_${name}" target)
    add_custom_target(${target} ALL DEPENDS ${compressed})
    set(${result} ${compressed} PARENT_SCOPE)
endfunction()
