# Copies every file of SOURCE into TARGET unless TARGET already has a file of that name. Folders
# (other workspaces kept beside the sample one) are not copied.
file(GLOB files LIST_DIRECTORIES false RELATIVE ${SOURCE} ${SOURCE}/*)
foreach(f ${files})
  if(NOT EXISTS ${TARGET}/${f})
    file(COPY ${SOURCE}/${f} DESTINATION ${TARGET})
  endif()
endforeach()
