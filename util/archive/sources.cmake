# The ZIP archive module, compiled into every deliverable that needs it.
set(TESS_ZIP_ARCHIVE_SOURCES
  ${CMAKE_SOURCE_DIR}/util/archive/zip_names.cpp
  ${CMAKE_SOURCE_DIR}/util/archive/zip_reader.cpp
  ${CMAKE_SOURCE_DIR}/util/archive/zip_writer.cpp
  ${CMAKE_SOURCE_DIR}/util/archive/zip_extract.cpp
)
