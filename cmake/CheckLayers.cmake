# Fails when a folder includes a header of a layer above it: the calculator and the database
# (their windows too) never reach up to the analysis, nor to each other's window, nor to the
# programs that compose them (shell/, launcher/).
# Run as: cmake -DSOURCE_DIR=... -P CheckLayers.cmake
set(rules
    "calculator:analysis/|database/ui/|shell/|launcher/"
    "database:analysis/|calculator/ui/|shell/|launcher/"
    "analysis:shell/|launcher/"
    "satfunc:shell/|launcher/"
    "deck:shell/|launcher/"
    "common:shell/|launcher/"
    "ui:shell/|launcher/")
set(breaches "")
foreach(rule IN LISTS rules)
    string(REPLACE ":" ";" parts "${rule}")
    list(GET parts 0 folder)
    list(GET parts 1 above)
    file(GLOB_RECURSE sources ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.h)
    foreach(source IN LISTS sources)
        file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"(${above})")
        foreach(include IN LISTS includes)
            file(RELATIVE_PATH name ${SOURCE_DIR} ${source})
            string(STRIP "${include}" include)
            string(APPEND breaches "\n  ${name}: ${include}")
        endforeach()
    endforeach()
endforeach()
if(breaches)
    message(FATAL_ERROR "A folder includes from a layer above it (see DESIGN.md, Layers):${breaches}")
endif()
