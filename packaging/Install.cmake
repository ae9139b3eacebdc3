# What `cmake --install` puts in place besides the program: the udev rules for real heads, the
# desktop entry and its icon. The uaccess rule goes where udev reads packaged rules when the
# prefix is /usr; for other prefixes copy it to /etc/udev/rules.d (see README).
include(GNUInstallDirs)
set(STATION_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

install(FILES ${STATION_PACKAGING_DIR}/70-stenvikplus.rules DESTINATION lib/udev/rules.d)
install(FILES ${STATION_PACKAGING_DIR}/70-stenvikplus.rules ${STATION_PACKAGING_DIR}/60-stenvikplus-group.rules
        DESTINATION ${CMAKE_INSTALL_DATADIR}/stenvikplus/udev)
install(FILES ${STATION_PACKAGING_DIR}/stenvikplus.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${STATION_PACKAGING_DIR}/stenvikplus.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
