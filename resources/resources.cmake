# Every translation file of the program compiles into one catalogue, embedded with the
# other resources as ":Marvolenti_ja_JP".
file(GLOB TS_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/i18n/*.ts)
set(QM_FILE ${CMAKE_BINARY_DIR}/resources/Marvolenti_ja_JP.qm)
add_custom_command(
    OUTPUT ${QM_FILE}
    COMMAND Qt5::lrelease -silent ${TS_FILES} -qm ${QM_FILE}
    DEPENDS ${TS_FILES}
    COMMENT "Compiling the Japanese translation")

set(QRC_FILE ${CMAKE_BINARY_DIR}/resources/marvolenti.qrc)
configure_file(${CMAKE_SOURCE_DIR}/resources/marvolenti.qrc.in ${QRC_FILE} @ONLY)
set_source_files_properties(${QRC_FILE} PROPERTIES OBJECT_DEPENDS ${QM_FILE})
qt5_add_resources(RESOURCE_SOURCES ${QRC_FILE})
set_source_files_properties(${RESOURCE_SOURCES} PROPERTIES OBJECT_DEPENDS ${QM_FILE}
                            SKIP_AUTOMOC ON)
target_sources(marvolenti_core PRIVATE ${RESOURCE_SOURCES} ${QM_FILE}
               ${CMAKE_SOURCE_DIR}/resources/resourceinit.cpp
               ${CMAKE_SOURCE_DIR}/resources/resourceinit.h)
