# Where `cmake --install` puts things. Linux hosts look for VST 2 plug-ins in
# ~/.vst and in a prefix's lib/vst. Left at CMake's default, the prefix becomes
# the user's ~/.local (plughost in ~/.local/bin) and the plug-in goes to ~/.vst,
# so a plain install needs no root; a chosen prefix P gives P/bin and P/lib/vst.
include(GNUInstallDirs)

if(NOT WIN32)
  if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT AND DEFINED ENV{HOME})
    set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/.local" CACHE PATH "Install prefix" FORCE)
    set(default_vst_dir "$ENV{HOME}/.vst")
  else()
    set(default_vst_dir "lib/vst")
  endif()
  set(ZANDREL_VST_INSTALL_DIR "${default_vst_dir}" CACHE STRING
      "Folder for the plug-in; relative to the install prefix unless absolute")

  # At install time, `--prefix P` other than the configured prefix also moves
  # an absolute plug-in folder to P/lib/vst, so the two stay together.
  install(CODE "
    set(vst_dir [[${ZANDREL_VST_INSTALL_DIR}]])
    if(IS_ABSOLUTE \"\${vst_dir}\" AND NOT CMAKE_INSTALL_PREFIX STREQUAL [[${CMAKE_INSTALL_PREFIX}]])
      set(vst_dir lib/vst)
    endif()
    if(NOT IS_ABSOLUTE \"\${vst_dir}\")
      set(vst_dir \"\${CMAKE_INSTALL_PREFIX}/\${vst_dir}\")
    endif()
    file(INSTALL DESTINATION \"\${vst_dir}\" TYPE MODULE FILES \"$<TARGET_FILE:Zandrel>\")
  ")
endif()
