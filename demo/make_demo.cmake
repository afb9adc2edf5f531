# Lays out the demo game: DEST/System holds the game's files, Pelmar.exe and the stand-in
# game as Unreal.exe; DEST/Maps and DEST/Maps/UPak hold empty map files. The game's
# configuration is copied only when absent, so choices made in the demo survive a rebuild.
file(MAKE_DIRECTORY "${DEST}/System" "${DEST}/Maps/UPak")
file(GLOB game_files RELATIVE "${SRC}/System" "${SRC}/System/*")
foreach(name IN LISTS game_files)
    if(NOT EXISTS "${DEST}/System/${name}")
        file(COPY "${SRC}/System/${name}" DESTINATION "${DEST}/System")
    endif()
endforeach()
file(COPY "${PELMAR}" DESTINATION "${DEST}/System")
configure_file("${STANDIN}" "${DEST}/System/Unreal.exe" COPYONLY)
file(STRINGS "${SRC}/maps.txt" maps REGEX "^[^#]")
foreach(map IN LISTS maps)
    if(NOT EXISTS "${DEST}/${map}")
        file(TOUCH "${DEST}/${map}")
    endif()
endforeach()
