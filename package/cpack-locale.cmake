# Read by cpack before it packs (CPACK_PROJECT_CONFIG_FILE). Its archiver reads file names
# through the locale's character set, so that without a locale (a root shell, a container: C)
# the demo picture fjäll.jpg could not be read ("Can't lstat"). The names are UTF-8 whatever
# the locale of the one who packs.
set(ENV{LC_ALL} C.UTF-8)
