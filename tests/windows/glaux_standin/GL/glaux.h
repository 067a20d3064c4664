/* Stands in for the GLAUX header that current Windows SDKs no longer ship: the generated
   loader includes it but uses nothing from it. */
