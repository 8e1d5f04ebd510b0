# The sample files the imaging tests and the imaging benchmark make:
# ImageMagick writes the formats Qt cannot write, libUEMF makes metafiles
# that draw shapes. Included by whichever of the two is built first.
pkg_check_modules(QMR_TEST_MAGICK REQUIRED IMPORTED_TARGET Magick++)
pkg_check_modules(QMR_TEST_TIFF REQUIRED IMPORTED_TARGET libtiff-4)
find_path(QMR_TEST_UEMF_INCLUDE uemf.h REQUIRED)
find_library(QMR_TEST_UEMF_LIB uemf REQUIRED)

add_library(qmr_imaging_samples STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ImagingSamples.cpp ${CMAKE_CURRENT_LIST_DIR}/ImagingSamples.h)
target_include_directories(qmr_imaging_samples PUBLIC ${CMAKE_CURRENT_LIST_DIR} ${QMR_TEST_UEMF_INCLUDE})
target_link_libraries(qmr_imaging_samples
  PUBLIC Qt6::Gui PkgConfig::QMR_TEST_MAGICK
  PUBLIC ${QMR_TEST_UEMF_LIB}
  PRIVATE PkgConfig::QMR_TEST_TIFF)
