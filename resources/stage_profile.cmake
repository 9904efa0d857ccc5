# Copies the shipped profile files into the staged tree, never over a user's own copy.
file(MAKE_DIRECTORY "${PROFILE_DIR}")
foreach(name qixchannel.ini)
  if(NOT EXISTS "${PROFILE_DIR}/${name}")
    file(COPY_FILE "${SOURCE_DIR}/${name}" "${PROFILE_DIR}/${name}")
  endif()
endforeach()
