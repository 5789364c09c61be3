# The map of rooms kept by the build: a room's headers are included as
# "room/Header.h", and a target sees only the rooms it may include. Each room
# gets a folder of its own in the build tree holding one link named for it
# (rooms/gl/gl -> source/tracker/gl), and a target is given the folders of
# exactly its allowed rooms, so a wrong include fails to compile.

# zao_room(NAME PATH): the room NAME is the folder PATH.
function(zao_room name path)
  set(folder ${PROJECT_BINARY_DIR}/rooms/${name})
  file(MAKE_DIRECTORY ${folder})
  if(NOT IS_SYMLINK ${folder}/${name})
    file(CREATE_LINK ${path} ${folder}/${name} RESULT linked SYMBOLIC)
    if(NOT linked EQUAL 0)
      # No symbolic links here (Windows without developer mode): the folder
      # above the room serves, which builds the same but does not keep the map.
      message(STATUS "room ${name}: no symbolic link (${linked}); includes are not checked")
      get_filename_component(folder ${path} DIRECTORY)
    endif()
  endif()
  set_property(GLOBAL PROPERTY ZAO_ROOM_${name} ${folder})
endfunction()

# zao_include_rooms(TARGET SCOPE ROOM...): the rooms TARGET's sources (and,
# with PUBLIC or INTERFACE, its dependents') may include.
function(zao_include_rooms target scope)
  foreach(room IN LISTS ARGN)
    get_property(folder GLOBAL PROPERTY ZAO_ROOM_${room})
    if(NOT folder)
      message(FATAL_ERROR "no room named ${room}")
    endif()
    target_include_directories(${target} ${scope} ${folder})
  endforeach()
endfunction()
