# Run by CPack once it has installed into its staging directory: every directory there becomes 0755, whatever the
# umask of whoever builds the package (a umask of 077 would give 0700, which no install setting can widen).
if(NOT IS_DIRECTORY "${CPACK_TEMPORARY_DIRECTORY}")
    message(FATAL_ERROR "no staging directory '${CPACK_TEMPORARY_DIRECTORY}'")
endif()
file(GLOB_RECURSE entries LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
set(directories "${CPACK_TEMPORARY_DIRECTORY}")
foreach(entry IN LISTS entries)
    if(IS_DIRECTORY "${entry}" AND NOT IS_SYMLINK "${entry}")
        list(APPEND directories "${entry}")
    endif()
endforeach()
file(CHMOD ${directories} DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
